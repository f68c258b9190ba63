#pragma once

#include <functional>
#include <memory>

#include "desktop/pasteboard.h"

class QObject;

namespace orvex::linux_desktop {

// The clipboard through Qt, which owns what it puts there for as long as this process
// lives (an X11 clipboard empties when its owner exits). Text is also offered as the
// primary selection, which terminals paste with Shift+Insert; images go out as PNG.
// Qt's clipboard lives on the GUI thread: calls from other threads are carried there and
// wait for it, so the GUI thread must keep turning its event loop.
class QtPasteboard : public Pasteboard {
  public:
    // Needs a QGuiApplication; gives nothing without one.
    static std::unique_ptr<QtPasteboard> create();
    ~QtPasteboard() override;

    void clearContents() override;
    bool writeString(const std::string& text) override;
    bool writeImagePNG(const std::vector<std::uint8_t>& png) override;
    bool canReadImage(const std::vector<std::uint8_t>& data) override;
    std::optional<std::string> readString() override;

  private:
    QtPasteboard();
    void onGuiThread(const std::function<void()>& work);

    std::unique_ptr<QObject> context_;
};

}  // namespace orvex::linux_desktop
