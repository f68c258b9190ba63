#include "desktop/sim/sim_pasteboard.h"

#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_png.h"
#include "desktop/sim/sim_state.h"

namespace orvex {

void SimPasteboard::clearContents() {
    std::lock_guard lock(desktop_.mutex_);
    desktop_.state_->clearPasteboard("application");
}

bool SimPasteboard::writeString(const std::string& text) {
    std::lock_guard lock(desktop_.mutex_);
    desktop_.state_->writePasteboardText(text, "application");
    return true;
}

bool SimPasteboard::writeImagePNG(const std::vector<std::uint8_t>& png) {
    std::optional<PngSize> size = readPngSize(png);
    if (!size)
        return false;
    std::lock_guard lock(desktop_.mutex_);
    desktop_.state_->writePasteboardImage(SimImage{size->width, size->height, png}, "application");
    return true;
}

bool SimPasteboard::canReadImage(const std::vector<std::uint8_t>& data) {
    return readPngSize(data).has_value();
}

std::optional<std::string> SimPasteboard::readString() {
    std::lock_guard lock(desktop_.mutex_);
    return desktop_.state_->pasteboardText;
}

}  // namespace orvex
