#include <future>

#include "desktop/linux/x11/application_key_rules.h"
#include "desktop/linux/x11/gio_applications.h"
#include "desktop/linux/x11/gio_documents.h"
#include "desktop/linux/x11/linux_scriptable.h"
#include "desktop/script/script_error.h"

namespace orvex::linux_desktop {

using script::ObjectRef;
using script::ScriptError;
using script::Value;
namespace errnum = script::errnum;

std::vector<X11AppInfo> ApplicationObject::running() const {
    std::vector<X11AppInfo> out;
    for (X11AppInfo& app : services_->applications->applications()) {
        bool matches = false;
        switch (kind_) {
            case Kind::terminal:
                matches = services_->isTerminal(app);
                break;
            case Kind::fileManager:
                matches = services_->isFileManager(app);
                break;
            case Kind::named:
                matches = app.localizedName() == name_ || app.bundleIdentifier == name_;
                break;
        }
        if (matches)
            out.push_back(std::move(app));
    }
    return out;
}

std::optional<std::string> ApplicationObject::location() const {
    switch (kind_) {
        case Kind::terminal: {
            std::string launcher = terminalLauncherPath();
            return launcher.empty() ? std::nullopt : std::optional<std::string>(launcher);
        }
        case Kind::fileManager: {
            std::string id = fileManagerId();
            return id.empty() ? std::nullopt : desktopFileForId(id);
        }
        case Kind::named:
            if (auto byName = desktopFileForName(name_))
                return byName;
            return desktopFileForId(name_);
    }
    return std::nullopt;
}

bool ApplicationObject::exists() const {
    return location().has_value() || !running().empty();
}

std::optional<Value> ApplicationObject::property(const std::string& name) {
    if (name == "name")
        return Value::text(name_);
    if (name == "running")
        return Value::boolean(!running().empty());
    if (name == "frontmost") {
        auto front = services_->applications->frontmost();
        if (!front)
            return Value::boolean(false);
        for (const X11AppInfo& app : running()) {
            if (app.pid == front->pid)
                return Value::boolean(true);
        }
        return Value::boolean(false);
    }
    if (name == "id" || name == "bundle identifier") {
        auto apps = running();
        if (!apps.empty())
            return Value::text(apps.front().bundleIdentifier);
        return Value::constant("missing value");
    }
    return std::nullopt;
}

std::optional<std::vector<ObjectRef>> ApplicationObject::elements(const std::string& className) {
    if (className != "window")
        return std::nullopt;
    std::vector<ObjectRef> out;
    // A file manager's windows cannot tell which folder they show, so none is offered (and
    // a desktop without a file manager has no window of one either).
    if (kind_ == Kind::fileManager)
        return out;
    if (!exists())
        throw ScriptError("Can't get " + describe() + ".", errnum::kCantGet);
    for (const X11AppInfo& app : running()) {
        std::vector<ClientWindow> windows = services_->applications->windowsOf(app.pid);
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            out.push_back(std::make_shared<WindowObject>(*it, describe()));
    }
    return out;
}

void ApplicationObject::activate() {
    for (const X11AppInfo& app : running()) {
        if (services_->applications->activate(app.pid))
            return;
    }
    if (kind_ == Kind::fileManager) {
        // Starting a file manager means showing a folder; home is where it opens by itself.
        if (services_->workspace->showFolder(services_->workspace->homeDirectory()))
            return;
    }
    auto path = location();
    if (!path)
        throw ScriptError("Can't get " + describe() + ".", errnum::kCantGet);
    std::promise<std::optional<std::string>> opened;
    services_->workspace->openApplication(
        *path, OpenConfiguration{},
        [&opened](RunningApplicationRef, std::optional<std::string> error) {
            opened.set_value(std::move(error));
        });
    if (auto error = opened.get_future().get())
        throw ScriptError(*error, errnum::kCantGet);
}

std::optional<Value> ApplicationObject::perform(const std::string& command, const Value&,
                                                const script::Record&) {
    if (command != "activate")
        return std::nullopt;
    activate();
    return Value();
}

bool ApplicationObject::sameObject(const ScriptObject& other) const {
    auto* app = dynamic_cast<const ApplicationObject*>(&other);
    return app && app->kind_ == kind_ && script::foldCase(app->name_) == script::foldCase(name_);
}

}  // namespace orvex::linux_desktop
