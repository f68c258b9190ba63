#pragma once

#include <optional>
#include <string>

#include "app/execution/execution_context.h"
#include "app/store/preset_model.h"
#include "desktop/running_apps.h"

namespace orvex {

// The simple preset actions: bring an application to the front (launching it or restoring
// a minimized window when needed), open a file, and create a new empty file in the folder
// the file manager shows. Each reports its progress and success in the status line; they
// run on the preset run's task and block it while they wait.
class AppActions {
  public:
    explicit AppActions(const ExecutionContext& context) : context_(context) {}

    // The activate-app action, for the preset's `appName` exactly as stored. Launch and
    // activation failures it cannot handle itself are thrown (ActionError or
    // AppleScriptError); a name that matches nothing ends with "status.cannotLaunch".
    void bringAppToFront(const PresetData& preset);
    // The open-file action. Never throws.
    void openPresetFile(const PresetData& preset);
    // The create-file action. Never throws.
    void createNewFile(const PresetData& preset);

    // The first running application whose localized name is exactly `name`; for "Finder"
    // also the running file manager by its bundle identifier.
    RunningApplicationRef findRunningApp(const std::string& name);
    // Opens a file-manager window where the file manager's own preference says new windows
    // go; without a readable preference, activates it and presses Command-N. Script
    // failures are thrown.
    void openNewFinderWindow();
    // A string preference of the file manager: from the user defaults, else through the
    // `defaults` tool. None when neither has it.
    std::optional<std::string> readFinderDefault(const std::string& key);

  private:
    // What the accessibility tree says about a running application's windows. When every
    // window is minimized, the first one has been restored by the time this returns.
    enum class WindowState { unknown, none, someOpen, allMinimized };
    WindowState inspectWindows(const RunningApplicationRef& app);
    void activateByName(const std::string& name);

    const ExecutionContext& context_;
};

// The name of a new empty file created exclusively in `folder`: "NewFile.<ext>", then
// "NewFile2.<ext>", "NewFile3.<ext>" and so on. Each name is created with O_EXCL, so a file
// that appears between looking and creating is never truncated: its name counts as taken
// and the next number is tried. None when the file system refuses for any other reason
// (missing folder, no permission), with the reason in `error` when given.
std::optional<std::string> uniqueNewFileName(const std::string& folder,
                                             const std::string& extension,
                                             std::string* error = nullptr);

}  // namespace orvex
