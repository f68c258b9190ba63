#include "desktop/script/script_error.h"
#include "desktop/sim/sim_scriptable.h"

namespace orvex {

using script::ObjectRef;
using script::ScriptError;
using script::Value;
namespace errnum = script::errnum;

SimScriptableApplication::SimScriptableApplication(std::shared_ptr<SimDesktop> desktop,
                                                   std::string name,
                                                   std::optional<std::string> bundleId)
    : desktop_(std::move(desktop)), name_(std::move(name)), bundleId_(std::move(bundleId)) {}

std::string SimScriptableApplication::describe() const {
    return "application \"" + name_ + "\"";
}

SimAppInfo SimScriptableApplication::resolve() const {
    std::optional<SimAppInfo> info = desktop_->application(name_);
    if (!info && bundleId_) {
        info = desktop_->application(*bundleId_);
    }
    if (!info || (!info->installed && !info->running)) {
        throw ScriptError("Can't get application \"" + name_ + "\".", errnum::kCantGet);
    }
    // Browsers answer scripts only once the user has allowed this application to automate
    // them; the first request asks.
    if (info->kind == SimAppKind::browser &&
        !desktop_->requestPermission(SimPermission::browserAutomation)) {
        throw ScriptError("Not authorized to send Apple events to " + name_ + ".",
                          errnum::kNotAuthorized);
    }
    return *info;
}

std::optional<Value> SimScriptableApplication::property(const std::string& name) {
    SimAppInfo info = resolve();
    if (name == "name") {
        return Value::text(info.name);
    }
    if (name == "running") {
        return Value::boolean(info.running);
    }
    if (name == "frontmost") {
        auto front = desktop_->frontmostApplication();
        return Value::boolean(front && front->key == info.key);
    }
    if (name == "id" || name == "bundle identifier") {
        if (info.bundleId) {
            return Value::text(*info.bundleId);
        }
        return Value::constant("missing value");
    }
    return std::nullopt;
}

bool SimScriptableApplication::setProperty(const std::string& name, const Value& value) {
    SimAppInfo info = resolve();
    if (name == "frontmost" && script::toBoolean(value)) {
        if (auto error = desktop_->activateApplication(info.key)) {
            throw ScriptError(*error, errnum::kCantSet);
        }
        return true;
    }
    return false;
}

std::optional<std::vector<ObjectRef>> SimScriptableApplication::elements(
    const std::string& className) {
    if (className != "window") {
        return std::nullopt;
    }
    SimAppInfo info = resolve();
    std::vector<ObjectRef> out;
    for (SimWindowId id : info.windows) {
        out.push_back(
            std::make_shared<SimScriptableWindow>(shared_from_this(), id, true, describe()));
    }
    return out;
}

std::optional<Value> SimScriptableApplication::makeNew(const std::string& className,
                                                       const script::Record&) {
    if (className != "window") {
        return std::nullopt;
    }
    SimAppInfo info = resolve();
    if (!info.running) {
        if (auto error = desktop_->activateApplication(info.key)) {
            throw ScriptError(*error, errnum::kCantGet);
        }
    }
    std::optional<SimWindowId> id = desktop_->openWindow(info.key);
    if (!id) {
        throw ScriptError("Can't make a new window of " + describe() + ".", errnum::kNotUnderstood);
    }
    return Value::object(
        std::make_shared<SimScriptableWindow>(shared_from_this(), *id, true, describe()));
}

std::optional<Value> SimScriptableApplication::perform(const std::string& command, const Value&,
                                                       const script::Record&) {
    if (command != "activate") {
        return std::nullopt;
    }
    SimAppInfo info = resolve();
    if (auto error = desktop_->activateApplication(info.key)) {
        throw ScriptError(*error, errnum::kCantGet);
    }
    return Value();
}

bool SimScriptableApplication::sameObject(const ScriptObject& other) const {
    auto* app = dynamic_cast<const SimScriptableApplication*>(&other);
    return app && script::foldCase(app->name_) == script::foldCase(name_);
}

}  // namespace orvex
