#pragma once

#include <functional>
#include <memory>

#include "desktop/pasteboard.h"

class QObject;

namespace orvex::linux_desktop {

// The clipboard through Qt, which owns what it puts there for as long as this process
// lives (an X11 clipboard empties when its owner exits). Writing never touches the primary
// selection: taking it clears the selection of the application that holds it, and a send
// copies that selection again and again. Images go out as PNG.
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

    // Offers the clipboard's text as the primary selection too, for a paste that reads it
    // there (xterm's Shift+Insert). It is kept afterwards: the terminal fetches it whenever
    // it gets to the key, and the selection it replaced is gone once taken, so giving it up
    // would only leave the paste racing the release.
    void offerClipboardAsPrimary();

  private:
    QtPasteboard();
    void onGuiThread(const std::function<void()>& work);

    std::unique_ptr<QObject> context_;
};

}  // namespace orvex::linux_desktop
