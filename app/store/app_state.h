#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/store/preset_model.h"
#include "app/store/settings_manager.h"
#include "base/main_queue.h"

namespace orvex {

// The observable fields of AppState.
enum class StateField { presets, statusMessage, statusIsError, alwaysOnTop };

// Told about every assignment of a field: willChange before the new value is in place,
// didChange right after. Either may be empty.
struct StateObserver {
    std::function<void(StateField)> willChange;
    std::function<void(StateField)> didChange;
};

// What the user interface shows and the rest of the application changes: the preset
// list, the status line and the always-on-top flag. Main thread only, except setStatus.
class AppState {
  public:
    // Re-registers every global hot key from the flattened preset list.
    using HotKeyRegistrar = std::function<void(const std::vector<PresetData>&)>;
    using ObserverId = std::uint64_t;

    static constexpr std::chrono::milliseconds kShortcutSaveDelay{600};

    // Loads the preset list through `settings.load()`; writes nothing.
    AppState(SettingsManager& settings, MainQueue& mainQueue, HotKeyRegistrar registerHotKeys);
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    const std::vector<PresetItem>& presets() const { return presets_; }
    const std::string& statusMessage() const { return statusMessage_; }
    bool statusIsError() const { return statusIsError_; }
    bool alwaysOnTop() const { return alwaysOnTop_; }

    // The presets of the list in order, folders skipped.
    std::vector<PresetData> allPresets() const { return flattenPresets(presets_); }

    void setPresets(std::vector<PresetItem> presets);
    void setAlwaysOnTop(bool alwaysOnTop);

    // Any thread. Returns at once; on the main queue the message is assigned, then the
    // flag. Calls from one thread take effect in call order.
    void setStatus(std::string message, bool isError);

    // Gives the first element with `id` the new shortcut and saves 0.6 s after the last
    // of a burst of edits. A folder or unknown id is ignored.
    void updateShortcut(const std::string& id, const std::string& shortcut);

    // The save after every change of the list: keeps the stored tutorialCompleted and
    // language, writes the current list, re-registers the hot keys.
    SaveResult persistPresets();

    // Replaces the list and persists it. When the save fails the previous list comes back,
    // so what is shown never differs from the file after a change that was refused.
    SaveResult commitPresets(std::vector<PresetItem> presets);

    // Replaces the list with what the settings file now holds and re-registers the hot
    // keys (after an import or a reset has written the file).
    void reloadFromSettings();

    SettingsManager& settings() const { return settings_; }

    ObserverId addObserver(StateObserver observer);
    void removeObserver(ObserverId id);

  private:
    template <class T>
    void assign(StateField field, T& slot, T value);
    void applyStatus(std::string message, bool isError);

    SettingsManager& settings_;
    MainQueue& mainQueue_;
    HotKeyRegistrar registerHotKeys_;

    std::vector<PresetItem> presets_;
    std::string statusMessage_;
    bool statusIsError_ = false;
    bool alwaysOnTop_ = false;

    TimerRef shortcutSaveTimer_;
    std::vector<std::pair<ObserverId, StateObserver>> observers_;
    ObserverId nextObserverId_ = 1;
    // Work queued for later (timer, status hops) holds this weakly, so it never touches a
    // state that has gone away.
    std::shared_ptr<AppState*> self_ = std::make_shared<AppState*>(this);
};

}  // namespace orvex
