#include "app/store/app_state.h"

#include <algorithm>

namespace orvex {

AppState::AppState(SettingsManager& settings, MainQueue& mainQueue, HotKeyRegistrar registerHotKeys)
    : settings_(settings), mainQueue_(mainQueue), registerHotKeys_(std::move(registerHotKeys)) {
    presets_ = settings_.load().presets;
}

AppState::~AppState() {
    if (shortcutSaveTimer_) {
        shortcutSaveTimer_->cancel();
    }
}

template <class T>
void AppState::assign(StateField field, T& slot, T value) {
    // A copy, so an observer may add or remove observers while being told.
    auto observers = observers_;
    for (auto& [id, observer] : observers) {
        if (observer.willChange) {
            observer.willChange(field);
        }
    }
    slot = std::move(value);
    for (auto& [id, observer] : observers) {
        if (observer.didChange) {
            observer.didChange(field);
        }
    }
}

void AppState::setPresets(std::vector<PresetItem> presets) {
    assign(StateField::presets, presets_, std::move(presets));
}

void AppState::setAlwaysOnTop(bool alwaysOnTop) {
    assign(StateField::alwaysOnTop, alwaysOnTop_, alwaysOnTop);
}

void AppState::setStatus(std::string message, bool isError) {
    mainQueue_.post(
        [weak = std::weak_ptr<AppState*>(self_), message = std::move(message), isError]() mutable {
            if (auto self = weak.lock()) {
                (*self)->applyStatus(std::move(message), isError);
            }
        });
}

void AppState::applyStatus(std::string message, bool isError) {
    assign(StateField::statusMessage, statusMessage_, std::move(message));
    assign(StateField::statusIsError, statusIsError_, isError);
}

void AppState::updateShortcut(const std::string& id, const std::string& shortcut) {
    auto found = std::find_if(presets_.begin(), presets_.end(),
                              [&id](const PresetItem& item) { return item.id() == id; });
    if (found == presets_.end() || found->isFolder()) {
        return;
    }
    auto updated = presets_;
    updated[static_cast<std::size_t>(found - presets_.begin())].preset()->shortcut = shortcut;
    setPresets(std::move(updated));

    if (shortcutSaveTimer_) {
        shortcutSaveTimer_->cancel();
    }
    shortcutSaveTimer_ =
        mainQueue_.postAfter(kShortcutSaveDelay, [weak = std::weak_ptr<AppState*>(self_)]() {
            if (auto self = weak.lock()) {
                (*self)->shortcutSaveTimer_.reset();
                (*self)->persistPresets();
            }
        });
}

SaveResult AppState::persistPresets() {
    AppSettings stored = settings_.load();
    SaveResult saved =
        settings_.save(AppSettings{presets_, stored.tutorialCompleted, stored.language});
    if (registerHotKeys_) {
        registerHotKeys_(allPresets());
    }
    return saved;
}

SaveResult AppState::commitPresets(std::vector<PresetItem> presets) {
    std::vector<PresetItem> previous = presets_;
    setPresets(std::move(presets));
    SaveResult saved = persistPresets();
    if (!saved) {
        setPresets(std::move(previous));
        if (registerHotKeys_) {
            registerHotKeys_(allPresets());
        }
    }
    return saved;
}

void AppState::reloadFromSettings() {
    setPresets(settings_.load().presets);
    if (registerHotKeys_) {
        registerHotKeys_(allPresets());
    }
}

AppState::ObserverId AppState::addObserver(StateObserver observer) {
    ObserverId id = nextObserverId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void AppState::removeObserver(ObserverId id) {
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

}  // namespace orvex
