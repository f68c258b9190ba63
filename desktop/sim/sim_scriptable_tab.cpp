#include "desktop/script/script_error.h"
#include "desktop/sim/sim_scriptable.h"

namespace orvex {

using script::ScriptError;
using script::Value;
namespace errnum = script::errnum;

SimScriptableTab::SimScriptableTab(std::shared_ptr<SimScriptableApplication> application,
                                   SimWindowId window, SimTabId id)
    : application_(std::move(application)), window_(window), id_(id) {}

std::string SimScriptableTab::describe() const {
    return "tab id " + std::to_string(id_) + " of window id " + std::to_string(window_) + " of " +
           application_->describe();
}

std::pair<SimWindowInfo, int> SimScriptableTab::locate() const {
    application_->resolve();
    if (auto window = application_->desktop().window(window_)) {
        for (std::size_t i = 0; i < window->tabs.size(); ++i) {
            if (window->tabs[i].id == id_) {
                return {*window, static_cast<int>(i + 1)};
            }
        }
    }
    throw ScriptError("Can't get " + describe() + ". Invalid index.", errnum::kInvalidIndex);
}

std::optional<Value> SimScriptableTab::property(const std::string& name) {
    auto [window, index] = locate();
    const SimTabInfo& tab = window.tabs[static_cast<std::size_t>(index - 1)];
    if (name == "url") {
        return Value::text(tab.url);
    }
    if (name == "title" || name == "name") {
        return Value::text(tab.title);
    }
    if (name == "id") {
        return Value::integer(static_cast<std::int64_t>(tab.id));
    }
    if (name == "loading") {
        return Value::boolean(false);
    }
    return std::nullopt;
}

bool SimScriptableTab::setProperty(const std::string& name, const Value& value) {
    if (name != "url") {
        return false;
    }
    auto [window, index] = locate();
    if (!application_->desktop().setTabURL(window_, index, script::toText(value))) {
        throw ScriptError("Can't set URL of " + describe() + ".", errnum::kCantSet);
    }
    return true;
}

bool SimScriptableTab::sameObject(const ScriptObject& other) const {
    auto* tab = dynamic_cast<const SimScriptableTab*>(&other);
    return tab && tab->id_ == id_;
}

SimScriptableFolder::SimScriptableFolder(std::string path) : path_(std::move(path)) {}

std::string SimScriptableFolder::describe() const {
    return "folder \"" + path_ + "\"";
}

std::optional<Value> SimScriptableFolder::property(const std::string& name) {
    if (name == "posix path") {
        return Value::text(path_);
    }
    if (name == "name") {
        std::string trimmed = path_;
        while (trimmed.size() > 1 && trimmed.back() == '/') {
            trimmed.pop_back();
        }
        return Value::text(trimmed.substr(trimmed.find_last_of('/') + 1));
    }
    return std::nullopt;
}

std::optional<Value> SimScriptableFolder::coerce(const std::string& type) {
    if (type != "alias") {
        return std::nullopt;
    }
    // A folder's path ends with a slash, as the platform writes it.
    std::string path = path_;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return Value::alias(path);
}

bool SimScriptableFolder::sameObject(const ScriptObject& other) const {
    auto* folder = dynamic_cast<const SimScriptableFolder*>(&other);
    return folder && folder->path_ == path_;
}

}  // namespace orvex
