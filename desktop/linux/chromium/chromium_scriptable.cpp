#include "desktop/linux/chromium/chromium_scriptable.h"

#include "desktop/script/script_error.h"

namespace orvex::chromium {

using script::ObjectRef;
using script::ScriptError;
using script::Value;
namespace errnum = script::errnum;

namespace {

// Runs a browser operation with its failures in the words and numbers scripts know.
template <typename Operation>
auto guarded(Operation operation) -> decltype(operation()) {
    try {
        return operation();
    } catch (const BrowserError& error) {
        if (error.kind() == BrowserError::Kind::notDrivable) {
            throw ScriptError(
                std::string("Not authorized to send commands to Google Chrome: ") + error.what(),
                errnum::kNotAuthorized);
        }
        throw ScriptError(std::string("Can't get application \"Google Chrome\": ") + error.what(),
                          errnum::kCantGet);
    } catch (const DevToolsError& error) {
        throw ScriptError(std::string("Google Chrome got an error: ") + error.what(),
                          errnum::kCantGet);
    }
}

std::string urlProperty(const script::Record& properties) {
    if (const Value* url = properties.find("url")) {
        return script::toText(*url);
    }
    return "about:blank";
}

}  // namespace

// --- application ---

std::string ChromeApplicationObject::describe() const {
    return "application \"Google Chrome\"";
}

std::optional<Value> ChromeApplicationObject::property(const std::string& name) {
    if (name == "name") {
        return Value::text(kName);
    }
    if (name == "running") {
        return Value::boolean(browser_->runningPid().has_value());
    }
    return std::nullopt;
}

std::optional<std::vector<ObjectRef>> ChromeApplicationObject::elements(
    const std::string& className) {
    if (className != "window") {
        return std::nullopt;
    }
    return guarded([&] {
        std::vector<ObjectRef> out;
        for (const BrowserWindow& window : browser_->windows()) {
            out.push_back(std::make_shared<ChromeWindowObject>(browser_, window.windowId));
        }
        return out;
    });
}

std::optional<Value> ChromeApplicationObject::makeNew(const std::string& className,
                                                      const script::Record& properties) {
    if (className != "window") {
        return std::nullopt;
    }
    return guarded([&]() -> std::optional<Value> {
        std::string targetId = browser_->newWindow(urlProperty(properties));
        for (const BrowserWindow& window : browser_->windows()) {
            for (const BrowserTab& tab : window.tabs) {
                if (tab.targetId == targetId) {
                    return Value::object(
                        std::make_shared<ChromeWindowObject>(browser_, window.windowId));
                }
            }
        }
        throw ScriptError("Can't make a new window of " + describe() + ".", errnum::kNotUnderstood);
    });
}

std::optional<Value> ChromeApplicationObject::perform(const std::string& command, const Value&,
                                                      const script::Record&) {
    if (command != "activate") {
        return std::nullopt;
    }
    guarded([&] { browser_->bringToFront(); });
    return Value::text("");
}

bool ChromeApplicationObject::sameObject(const ScriptObject& other) const {
    return dynamic_cast<const ChromeApplicationObject*>(&other) != nullptr;
}

// --- window ---

std::string ChromeWindowObject::describe() const {
    return "window id " + std::to_string(windowId_) + " of application \"Google Chrome\"";
}

std::pair<BrowserWindow, int> ChromeWindowObject::locate() const {
    std::vector<BrowserWindow> windows = guarded([&] { return browser_->windows(); });
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (windows[i].windowId == windowId_) {
            return {windows[i], static_cast<int>(i + 1)};
        }
    }
    throw ScriptError("Can't get " + describe() + ". Invalid index.", errnum::kInvalidIndex);
}

std::optional<Value> ChromeWindowObject::property(const std::string& name) {
    auto [window, index] = locate();
    if (name == "index") {
        return Value::integer(index);
    }
    if (name == "id") {
        return Value::integer(window.windowId);
    }
    if (name == "active tab index") {
        return Value::integer(window.activeTab);
    }
    if (name == "active tab") {
        return Value::object(std::make_shared<ChromeTabObject>(browser_, window.active().targetId));
    }
    if (name == "name" || name == "title") {
        return Value::text(window.active().title);
    }
    return std::nullopt;
}

bool ChromeWindowObject::setProperty(const std::string& name, const Value& value) {
    auto [window, index] = locate();
    if (name == "index") {
        // Only bringing a window to the front means something to a window manager.
        if (script::toInteger(value) != 1) {
            throw ScriptError(
                "Can't set index of " + describe() + " to " + script::describe(value) + ".",
                errnum::kCantSet);
        }
        guarded([&] { browser_->raise(window); });
        return true;
    }
    if (name == "active tab index") {
        std::int64_t wanted = script::toInteger(value);
        if (wanted < 1 || wanted > static_cast<std::int64_t>(window.tabs.size())) {
            throw ScriptError("Can't set active tab index of " + describe() + " to " +
                                  script::describe(value) + ".",
                              errnum::kCantSet);
        }
        guarded([&] {
            browser_->activateTab(window.tabs[static_cast<std::size_t>(wanted - 1)].targetId);
        });
        return true;
    }
    return false;
}

std::optional<std::vector<ObjectRef>> ChromeWindowObject::elements(const std::string& className) {
    if (className != "tab") {
        return std::nullopt;
    }
    auto [window, index] = locate();
    std::vector<ObjectRef> out;
    for (const BrowserTab& tab : window.tabs) {
        out.push_back(std::make_shared<ChromeTabObject>(browser_, tab.targetId));
    }
    return out;
}

std::optional<Value> ChromeWindowObject::makeNew(const std::string& className,
                                                 const script::Record& properties) {
    if (className != "tab") {
        return std::nullopt;
    }
    locate();
    // The protocol opens a tab in the browser's last active window, which is this one when
    // it is the front window, as it is in the scripts.
    std::string targetId = guarded([&] { return browser_->newTab(urlProperty(properties)); });
    return Value::object(std::make_shared<ChromeTabObject>(browser_, targetId));
}

bool ChromeWindowObject::sameObject(const ScriptObject& other) const {
    auto* window = dynamic_cast<const ChromeWindowObject*>(&other);
    return window && window->windowId_ == windowId_;
}

// --- tab ---

std::string ChromeTabObject::describe() const {
    return "tab id \"" + targetId_ + "\" of application \"Google Chrome\"";
}

std::optional<Value> ChromeTabObject::property(const std::string& name) {
    if (name != "url" && name != "title" && name != "name" && name != "id") {
        return std::nullopt;
    }
    std::optional<BrowserTab> tab = guarded([&] { return browser_->tab(targetId_); });
    if (!tab) {
        throw ScriptError("Can't get " + describe() + ". Invalid index.", errnum::kInvalidIndex);
    }
    if (name == "url") {
        return Value::text(tab->url);
    }
    if (name == "id") {
        return Value::text(tab->targetId);
    }
    return Value::text(tab->title);
}

bool ChromeTabObject::setProperty(const std::string& name, const Value& value) {
    if (name != "url") {
        return false;
    }
    std::string url = script::toText(value);
    guarded([&] { browser_->navigate(targetId_, url); });
    return true;
}

bool ChromeTabObject::sameObject(const ScriptObject& other) const {
    auto* tab = dynamic_cast<const ChromeTabObject*>(&other);
    return tab && tab->targetId_ == targetId_;
}

}  // namespace orvex::chromium
