// Interactive capture with maim: a synthetic drag captures, Escape cancels. Run inside
// scripts/with-desktop-session.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <filesystem>
#include <future>
#include <thread>

#include "desktop/linux/x11/desktop_tests/backend_fixture.h"
#include "desktop/linux/x11/maim_screen_capture.h"
#include "desktop/linux/x11/x11_display.h"

namespace orvex::testing {
namespace {

namespace fs = std::filesystem;

// The user at the mouse, through XTest on a connection of the test's own.
class Pointer {
  public:
    Pointer() {
        std::string problem;
        display_ = linux_desktop::X11Display::open(&problem);
    }
    // maim is selecting once it holds the pointer: then nobody else can grab it.
    bool waitForSelection() {
        return pumpUntil([&] {
            auto lock = display_->lock();
            int status = XGrabPointer(display_->raw(), display_->root(), False, ButtonPressMask,
                                      GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
            if (status == GrabSuccess)
                XUngrabPointer(display_->raw(), CurrentTime);
            XSync(display_->raw(), False);
            return status == AlreadyGrabbed;
        });
    }
    void drag(int x0, int y0, int x1, int y1) {
        auto lock = display_->lock();
        Display* d = display_->raw();
        XTestFakeMotionEvent(d, -1, x0, y0, CurrentTime);
        XTestFakeButtonEvent(d, 1, True, 50);
        for (int step = 1; step <= 10; ++step) {
            XTestFakeMotionEvent(d, -1, x0 + (x1 - x0) * step / 10, y0 + (y1 - y0) * step / 10, 20);
        }
        XTestFakeButtonEvent(d, 1, False, 50);
        XSync(d, False);
    }
    // maim looks at the keyboard only now and then: Escape must stay down a moment.
    void escape() {
        auto lock = display_->lock();
        Display* d = display_->raw();
        KeyCode code = XKeysymToKeycode(d, XK_Escape);
        XTestFakeKeyEvent(d, code, True, CurrentTime);
        XSync(d, False);
        std::this_thread::sleep_for(200ms);
        XTestFakeKeyEvent(d, code, False, CurrentTime);
        XSync(d, False);
    }

  private:
    std::unique_ptr<linux_desktop::X11Display> display_;
};

class CaptureFixture : public BackendFixture {
  protected:
    void SetUp() override {
        BackendFixture::SetUp();
        if (!IsSkipped() && !HasFatalFailure() &&
            linux_desktop::MaimScreenCapture::findTool().empty())
            ORVEX_SKIP_UNLESS_REQUIRED("maim is not installed");
    }
    std::future<std::optional<int>> startCapture(const fs::path& file) {
        CaptureRequest request;
        request.filePath = file.string();
        ScreenCapture* capture = desktop().screenCapture;
        return std::async(std::launch::async,
                          [capture, request] { return capture->runInteractiveCapture(request); });
    }
};

TEST_F(CaptureFixture, ADragCapturesTheAreaIntoThePngFile) {
    fs::path file = home_.path() / "capture.png";
    auto capture = startCapture(file);
    Pointer pointer;
    ASSERT_TRUE(pointer.waitForSelection());
    pointer.drag(100, 100, 300, 250);
    ASSERT_EQ(capture.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(capture.get(), std::optional<int>(0));
    std::string png = readFile(file);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    std::vector<std::uint8_t> bytes(png.begin(), png.end());
    EXPECT_TRUE(desktop().pasteboard->canReadImage(bytes));
    // The size in the header is the dragged area's (give or take the border pixel).
    auto be32 = [&](std::size_t at) {
        return (std::uint32_t(bytes[at]) << 24) | (std::uint32_t(bytes[at + 1]) << 16) |
               (std::uint32_t(bytes[at + 2]) << 8) | std::uint32_t(bytes[at + 3]);
    };
    EXPECT_NEAR(be32(16), 200, 2);
    EXPECT_NEAR(be32(20), 150, 2);
}

TEST_F(CaptureFixture, EscapeCancelsWithANonZeroStatusAndNoFile) {
    fs::path file = home_.path() / "cancelled.png";
    auto capture = startCapture(file);
    Pointer pointer;
    ASSERT_TRUE(pointer.waitForSelection());
    pointer.escape();
    ASSERT_EQ(capture.wait_for(10s), std::future_status::ready);
    auto status = capture.get();
    ASSERT_TRUE(status);
    EXPECT_NE(*status, 0);
    EXPECT_FALSE(fs::exists(file));
}

}  // namespace
}  // namespace orvex::testing
