#pragma once

#include <optional>
#include <string>

namespace orvex {

// Where an interactive capture puts its image.
struct CaptureRequest {
    // The image goes to the pasteboard.
    bool toClipboard = false;
    // The image is written as a PNG file here (used when `toClipboard` is false).
    std::optional<std::string> filePath;
};

// Interactive screen capture and its permission. Every method may be called from any thread.
class ScreenCapture {
  public:
    virtual ~ScreenCapture() = default;
    // Whether this process may record the screen, without asking.
    virtual bool mayRecordScreen() = 0;
    // Asks the user for the screen-recording permission (the answer comes later, as the
    // user clicks); true when it was already granted.
    virtual bool requestScreenRecording() = 0;
    // Lets the user select an area and blocks until the capture tool exits. Returns its exit
    // status (0 = captured, non-zero = cancelled), or none when the tool cannot be started.
    virtual std::optional<int> runInteractiveCapture(const CaptureRequest& request) = 0;
};

}  // namespace orvex
