#include "desktop/linux/x11/application_key_rules.h"
#include "desktop/linux/x11/gio_documents.h"
#include "desktop/linux/x11/linux_scriptable.h"
#include "desktop/script/keystroke_parameters.h"
#include "desktop/script/script_error.h"

namespace orvex::linux_desktop {

using script::ObjectRef;
using script::ScriptError;
using script::Value;
namespace errnum = script::errnum;

bool ScriptingServices::isTerminal(const X11AppInfo& app) const {
    auto rules = keyRulesFor(app.windowClass, app.executable, defaultTerminalProgram());
    return rules && rules->terminal;
}

bool ScriptingServices::isFileManager(const X11AppInfo& app) const {
    std::string id = fileManagerId();
    return !id.empty() && app.bundleIdentifier == id;
}

std::string ScriptingServices::scriptName(const X11AppInfo& app) const {
    if (isTerminal(app))
        return "Terminal";
    if (isFileManager(app))
        return "Finder";
    return app.localizedName();
}

std::optional<Value> SystemEventsObject::property(const std::string& name) {
    if (name == "name")
        return Value::text("System Events");
    return std::nullopt;
}

std::optional<std::vector<ObjectRef>> SystemEventsObject::elements(const std::string& className) {
    if (className != "process" && className != "application process")
        return std::nullopt;
    std::vector<ObjectRef> out;
    for (X11AppInfo& app : services_->applications->applications())
        out.push_back(std::make_shared<ProcessObject>(services_, std::move(app)));
    return out;
}

std::optional<Value> SystemEventsObject::perform(const std::string& command, const Value& direct,
                                                 const script::Record& labelled) {
    return script::performKeystrokeCommand(*services_->keyboard, command, direct, labelled);
}

std::string ProcessObject::describe() const {
    return "process \"" + services_->scriptName(app_) + "\" of application \"System Events\"";
}

std::optional<Value> ProcessObject::property(const std::string& name) {
    if (name == "name")
        return Value::text(services_->scriptName(app_));
    if (name == "unix id")
        return Value::integer(app_.pid);
    if (name == "bundle identifier")
        return Value::text(app_.bundleIdentifier);
    if (name == "frontmost") {
        auto front = services_->applications->frontmost();
        return Value::boolean(front && front->pid == app_.pid);
    }
    if (name == "visible")
        return Value::boolean(true);
    return std::nullopt;
}

bool ProcessObject::setProperty(const std::string& name, const Value& value) {
    if (name != "frontmost" || !script::toBoolean(value))
        return false;
    if (!services_->applications->activate(app_.pid))
        throw ScriptError("Can't set frontmost of " + describe() + ".", errnum::kCantSet);
    return true;
}

std::optional<std::vector<ObjectRef>> ProcessObject::elements(const std::string& className) {
    if (className != "window")
        return std::nullopt;
    if (!services_->applications->isRunning(app_.pid, app_.startTime))
        throw ScriptError("Can't get " + describe() + ".", errnum::kCantGet);
    // Front to back, as scripts count windows.
    std::vector<ClientWindow> windows = services_->applications->windowsOf(app_.pid);
    std::vector<ObjectRef> out;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        out.push_back(std::make_shared<WindowObject>(*it, describe()));
    return out;
}

bool ProcessObject::sameObject(const ScriptObject& other) const {
    auto* process = dynamic_cast<const ProcessObject*>(&other);
    return process && process->app_.pid == app_.pid;
}

std::string WindowObject::describe() const {
    return "window \"" + window_.title + "\" of " + owner_;
}

std::optional<Value> WindowObject::property(const std::string& name) {
    if (name == "name" || name == "title")
        return Value::text(window_.title);
    if (name == "id")
        return Value::integer(static_cast<std::int64_t>(window_.id));
    if (name == "minimized" || name == "miniaturized")
        return Value::boolean(window_.hidden);
    if (name == "visible")
        return Value::boolean(!window_.hidden);
    return std::nullopt;
}

bool WindowObject::sameObject(const ScriptObject& other) const {
    auto* window = dynamic_cast<const WindowObject*>(&other);
    return window && window->window_.id == window_.id;
}

}  // namespace orvex::linux_desktop
