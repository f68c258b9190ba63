#pragma once

#include <string>

#include "desktop/pasteboard.h"
#include "desktop/processes.h"
#include "desktop/screen_capture.h"

namespace orvex::linux_desktop {

// Interactive area capture with maim (or scrot): the user drags a rectangle, Escape or a
// right click cancels. X11 has no recording permission, so it is always granted.
class MaimScreenCapture : public ScreenCapture {
  public:
    // `temporaryDirectory` holds the image of a capture to the clipboard until it is there.
    MaimScreenCapture(Processes& processes, Pasteboard& pasteboard, std::string temporaryDirectory);

    bool mayRecordScreen() override { return true; }
    bool requestScreenRecording() override { return true; }
    // Exit status 0 with the file written; non-zero when cancelled; nothing when neither
    // tool is installed.
    std::optional<int> runInteractiveCapture(const CaptureRequest& request) override;

    // The capture program found on PATH, empty when none.
    static std::string findTool();

  private:
    Processes& processes_;
    Pasteboard& pasteboard_;
    std::string temporaryDirectory_;
};

// The command line of one capture into `file` with the given tool ("maim" or "scrot").
std::vector<std::string> captureArguments(const std::string& tool, const std::string& file);

}  // namespace orvex::linux_desktop
