#include "desktop/sim/sim_screen_capture.h"

#include <fstream>

#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_png.h"
#include "desktop/sim/sim_state.h"

namespace orvex {

bool SimScreenCapture::mayRecordScreen() {
    std::lock_guard lock(desktop_.mutex_);
    return desktop_.state_->granted(SimPermission::screenRecording);
}

bool SimScreenCapture::requestScreenRecording() {
    std::lock_guard lock(desktop_.mutex_);
    SimState& state = *desktop_.state_;
    bool granted = state.granted(SimPermission::screenRecording);
    if (!granted)
        state.prompt(SimPermission::screenRecording);
    return granted;
}

std::optional<int> SimScreenCapture::runInteractiveCapture(const CaptureRequest& request) {
    std::lock_guard lock(desktop_.mutex_);
    SimState& state = *desktop_.state_;
    SimCaptureResult outcome = state.defaultCapture;
    if (!state.captures.empty()) {
        outcome = state.captures.front();
        state.captures.pop_front();
    }
    if (!request.toClipboard && !request.filePath) {
        state.record("capture", {{"outcome", "noTarget"}});
        return kCancelledStatus;
    }
    if (outcome.cancelled) {
        state.record("capture", {{"outcome", "cancelled"}});
        return kCancelledStatus;
    }
    std::vector<std::uint8_t> png = encodeSimPng(outcome.width, outcome.height);
    PngSize size = *readPngSize(png);
    Json entry = {{"outcome", "captured"}, {"width", size.width}, {"height", size.height}};
    if (request.toClipboard) {
        entry["to"] = "clipboard";
        state.record("capture", entry);
        state.clearPasteboard("capture");
        state.writePasteboardImage(SimImage{size.width, size.height, std::move(png)}, "capture");
        return 0;
    }
    std::ofstream file(*request.filePath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    file.close();
    if (!file) {
        state.record("capture", {{"outcome", "writeFailed"}, {"path", *request.filePath}});
        return kCancelledStatus;
    }
    entry["to"] = "file";
    entry["path"] = *request.filePath;
    state.record("capture", entry);
    state.record("fileCreated", {{"path", *request.filePath}, {"by", "capture"}});
    return 0;
}

}  // namespace orvex
