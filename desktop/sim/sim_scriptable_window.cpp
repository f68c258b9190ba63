#include "desktop/script/script_error.h"
#include "desktop/sim/sim_scriptable.h"

namespace orvex {

using script::ObjectRef;
using script::ScriptError;
using script::Value;
namespace errnum = script::errnum;

SimScriptableWindow::SimScriptableWindow(std::shared_ptr<SimScriptableApplication> application,
                                         SimWindowId id, bool applicationTerms, std::string owner)
    : application_(std::move(application)),
      id_(id),
      applicationTerms_(applicationTerms),
      owner_(std::move(owner)) {}

std::string SimScriptableWindow::describe() const {
    return "window id " + std::to_string(id_) + " of " + owner_;
}

SimWindowInfo SimScriptableWindow::info() const {
    if (applicationTerms_) {
        application_->resolve();  // the browser's permission check
    }
    std::optional<SimWindowInfo> window = application_->desktop().window(id_);
    if (!window) {
        throw ScriptError("Can't get " + describe() + ". Invalid index.", errnum::kInvalidIndex);
    }
    return *window;
}

std::optional<Value> SimScriptableWindow::property(const std::string& name) {
    SimWindowInfo window = info();
    if (name == "name" || name == "title") {
        return Value::text(window.title);
    }
    if (name == "id") {
        return Value::integer(static_cast<std::int64_t>(window.id));
    }
    if (name == "minimized" || name == "miniaturized") {
        return Value::boolean(window.minimized);
    }
    if (name == "visible") {
        return Value::boolean(!window.minimized);
    }
    if (name == "index") {
        auto windows = application_->desktop().windows(window.appKey);
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (windows[i].id == id_) {
                return Value::integer(static_cast<std::int64_t>(i + 1));
            }
        }
        return std::nullopt;
    }
    if (!applicationTerms_) {
        return std::nullopt;
    }
    if (name == "target" && window.folder) {
        return Value::object(std::make_shared<SimScriptableFolder>(*window.folder));
    }
    return browserProperty(name, window);
}

std::optional<Value> SimScriptableWindow::browserProperty(const std::string& name,
                                                          const SimWindowInfo& window) {
    if (window.tabs.empty() || window.activeTabIndex < 1) {
        return std::nullopt;
    }
    if (name == "active tab index") {
        return Value::integer(window.activeTabIndex);
    }
    if (name == "active tab") {
        const SimTabInfo& tab = window.tabs[static_cast<std::size_t>(window.activeTabIndex - 1)];
        return Value::object(std::make_shared<SimScriptableTab>(application_, id_, tab.id));
    }
    return std::nullopt;
}

bool SimScriptableWindow::setProperty(const std::string& name, const Value& value) {
    SimWindowInfo window = info();
    SimDesktop& desktop = application_->desktop();
    if (name == "index") {
        // Only bringing a window to the front is modelled.
        if (script::toInteger(value) != 1) {
            throw ScriptError(
                "Can't set index of " + describe() + " to " + script::describe(value) + ".",
                errnum::kCantSet);
        }
        desktop.raiseWindow(id_);
        return true;
    }
    if (applicationTerms_ && name == "active tab index" && !window.tabs.empty()) {
        std::int64_t index = script::toInteger(value);
        if (index < 1 || index > static_cast<std::int64_t>(window.tabs.size()) ||
            !desktop.setActiveTab(id_, static_cast<int>(index))) {
            throw ScriptError("Can't set active tab index of " + describe() + " to " +
                                  script::describe(value) + ".",
                              errnum::kCantSet);
        }
        return true;
    }
    return false;
}

std::optional<std::vector<ObjectRef>> SimScriptableWindow::elements(const std::string& className) {
    if (!applicationTerms_ || className != "tab") {
        return std::nullopt;
    }
    SimWindowInfo window = info();
    if (window.tabs.empty()) {
        return std::nullopt;
    }
    std::vector<ObjectRef> out;
    for (const SimTabInfo& tab : window.tabs) {
        out.push_back(std::make_shared<SimScriptableTab>(application_, id_, tab.id));
    }
    return out;
}

std::optional<Value> SimScriptableWindow::makeNew(const std::string& className,
                                                  const script::Record& properties) {
    if (!applicationTerms_ || className != "tab") {
        return std::nullopt;
    }
    SimWindowInfo window = info();
    std::string url = "about:blank";
    if (const Value* given = properties.find("url")) {
        url = script::toText(*given);
    }
    std::optional<SimTabId> tab = application_->desktop().openTab(id_, url);
    if (!tab) {
        throw ScriptError("Can't make a new tab in " + describe() + ".", errnum::kNotUnderstood);
    }
    return Value::object(std::make_shared<SimScriptableTab>(application_, id_, *tab));
}

bool SimScriptableWindow::sameObject(const ScriptObject& other) const {
    auto* window = dynamic_cast<const SimScriptableWindow*>(&other);
    return window && window->id_ == id_;
}

}  // namespace orvex
