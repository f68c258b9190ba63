#pragma once

#include "desktop/screen_capture.h"

namespace orvex {

class SimDesktop;

// Interactive capture on the model: each run takes the next queued outcome (or the
// default) and either writes a real PNG of that size or reports the user's cancel.
class SimScreenCapture final : public ScreenCapture {
  public:
    // Exit status of a cancelled capture and of a run with nowhere to put the image.
    static constexpr int kCancelledStatus = 1;

    explicit SimScreenCapture(SimDesktop& desktop) : desktop_(desktop) {}

    bool mayRecordScreen() override;
    bool requestScreenRecording() override;
    std::optional<int> runInteractiveCapture(const CaptureRequest& request) override;

  private:
    SimDesktop& desktop_;
};

}  // namespace orvex
