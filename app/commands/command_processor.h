#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "app/store/preset_model.h"
#include "protocol/cli_command.h"
#include "protocol/cli_response.h"

namespace orvex {

class AppState;
class AppleScriptRunner;
class CommandReply;
class LocalizationManager;
class MainQueue;
class NotificationCenter;
class TaskRunner;
struct Desktop;

// Runs one preset to its end, then calls `done` once, on any thread, with how the run
// ended: none when it succeeded (or the user cancelled it), else the failure text the
// status line showed. The application adapts the preset executor to this; tests inject
// their own runs.
using PresetRunner = std::function<void(
    PresetData preset, std::function<void(std::optional<std::string> lastError)> done)>;

// Receives the one answer to a command. It may be called on any thread.
using CommandCompletion = std::function<void(CLIResponse response)>;

// What the command handlers work with. Everything is owned by the application and
// outlives the processor.
struct CommandServices {
    // The preset list and its save (which re-registers the hot keys); its settings manager
    // is the one the settings actions read and write.
    AppState& state;
    LocalizationManager& i18n;
    NotificationCenter& notifications;
    MainQueue& mainQueue;
    // Work that must not hold up the main queue (the input finder tool, script runs).
    TaskRunner& tasks;
    PresetRunner runPreset;
    // The desktop the diagnostic actions probe; null when there is no desktop session,
    // and those actions then fail.
    Desktop* desktop = nullptr;
    // Runs the keystroke script of "debug.cgevent-copy"; null without a desktop.
    AppleScriptRunner* scripts = nullptr;
    // The desktop is X11 through XWayland on a Wayland session ("app.status" says so).
    bool x11OnWayland = false;
};

// Turns one command into exactly one answer. Keeps no state between commands.
class CommandProcessor {
  public:
    explicit CommandProcessor(CommandServices services);
    CommandProcessor(const CommandProcessor&) = delete;
    CommandProcessor& operator=(const CommandProcessor&) = delete;

    // Main thread only. `completion` is called exactly once: before process() returns for
    // most actions; later for "preset.execute" (after the run, from the run's thread), for
    // the window, view and diagnostic actions (from the main queue, once what they started
    // has happened).
    void process(const CLICommand& command, CommandCompletion completion);

    // Whether `action` names a known action (exact, case-sensitive).
    bool knows(std::string_view action) const;

  private:
    using Handler = void (*)(const CommandServices&, const CLICommand&, const CommandReply&);

    CommandServices services_;
    std::map<std::string, Handler, std::less<>> handlers_;
};

}  // namespace orvex
