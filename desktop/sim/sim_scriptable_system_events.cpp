#include "desktop/script/keystroke_parameters.h"
#include "desktop/script/script_error.h"
#include "desktop/sim/sim_scriptable.h"

namespace orvex {

using script::ObjectRef;
using script::ScriptError;
using script::Value;
namespace errnum = script::errnum;

SimSystemEvents::SimSystemEvents(std::shared_ptr<SimDesktop> desktop)
    : desktop_(std::move(desktop)) {}

std::string SimSystemEvents::describe() const {
    return "application \"System Events\"";
}

std::optional<Value> SimSystemEvents::property(const std::string& name) {
    if (name == "name") {
        return Value::text("System Events");
    }
    return std::nullopt;
}

std::optional<std::vector<ObjectRef>> SimSystemEvents::elements(const std::string& className) {
    if (className != "process" && className != "application process") {
        return std::nullopt;
    }
    std::vector<ObjectRef> out;
    for (const SimAppInfo& app : desktop_->applications()) {
        if (app.running) {
            out.push_back(std::make_shared<SimScriptableProcess>(desktop_, app));
        }
    }
    return out;
}

std::optional<Value> SimSystemEvents::perform(const std::string& command, const Value& direct,
                                              const script::Record& labelled) {
    return script::performKeystrokeCommand(*desktop_->desktop().keyboard, command, direct,
                                           labelled);
}

SimScriptableProcess::SimScriptableProcess(std::shared_ptr<SimDesktop> desktop, SimAppInfo info)
    : desktop_(std::move(desktop)), info_(std::move(info)) {}

std::string SimScriptableProcess::describe() const {
    return "process \"" + info_.name + "\" of application \"System Events\"";
}

std::optional<Value> SimScriptableProcess::property(const std::string& name) {
    if (name == "name") {
        return Value::text(info_.name);
    }
    if (name == "unix id") {
        return Value::integer(info_.pid);
    }
    if (name == "bundle identifier") {
        return info_.bundleId ? Value::text(*info_.bundleId) : Value::constant("missing value");
    }
    if (name == "frontmost") {
        auto front = desktop_->frontmostApplication();
        return Value::boolean(front && front->pid == info_.pid);
    }
    if (name == "visible") {
        return Value::boolean(true);
    }
    return std::nullopt;
}

bool SimScriptableProcess::setProperty(const std::string& name, const Value& value) {
    if (name != "frontmost" || !script::toBoolean(value)) {
        return false;
    }
    if (auto error = desktop_->activateApplication(info_.key)) {
        throw ScriptError(*error, errnum::kCantSet);
    }
    return true;
}

std::optional<std::vector<ObjectRef>> SimScriptableProcess::elements(const std::string& className) {
    if (className != "window") {
        return std::nullopt;
    }
    auto app = desktop_->application(info_.key);
    if (!app || !app->running || app->pid != info_.pid) {
        throw ScriptError("Can't get " + describe() + ".", errnum::kCantGet);
    }
    auto owner = std::make_shared<SimScriptableApplication>(desktop_, info_.key);
    std::vector<ObjectRef> out;
    for (SimWindowId id : app->windows) {
        out.push_back(std::make_shared<SimScriptableWindow>(owner, id, false, describe()));
    }
    return out;
}

bool SimScriptableProcess::sameObject(const ScriptObject& other) const {
    auto* process = dynamic_cast<const SimScriptableProcess*>(&other);
    return process && process->info_.pid == info_.pid;
}

}  // namespace orvex
