#include "app/ui/backends/linux_desktop_backend.h"

#ifdef ORVEX_HAS_LINUX_DESKTOP

#include <QApplication>

#include "desktop/linux/x11/linux_desktop.h"
#include "desktop/linux/x11/x11_display.h"

namespace orvex {
namespace {

class LinuxDesktopBackend final : public DesktopBackend {
  public:
    explicit LinuxDesktopBackend(std::unique_ptr<linux_desktop::LinuxDesktop> desktop)
        : desktop_(std::move(desktop)) {}
    Desktop& desktop() override { return desktop_->desktop(); }
    std::string description() const override { return desktop_->description(); }
    // Chromium's and Google Chrome's desktop entries.
    std::vector<std::string> chromeBundleIds() const override {
        return {"chromium", "chromium-browser", "google-chrome", "google-chrome-stable"};
    }
    bool x11OnWayland() const override { return x11OnWayland_; }

  private:
    std::unique_ptr<linux_desktop::LinuxDesktop> desktop_;
    // Read once: the session does not change under a running Orvex.
    bool x11OnWayland_ = linux_desktop::waylandSession();
};

}  // namespace

bool linuxDesktopBuilt() {
    return true;
}

std::unique_ptr<QCoreApplication> createQtApplication(int& argc, char** argv,
                                                      bool linuxDesktopWanted, bool windows) {
    const bool onX11 = linuxDesktopWanted && !linux_desktop::x11SessionProblem();
    if (onX11) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // A display that cannot be opened would end the widget application at its start; Orvex
    // then runs without windows and says why it cannot use the desktop.
    std::string problem;
    if (windows && (onX11 || linux_desktop::X11Display::open(&problem))) {
        return std::make_unique<QApplication>(argc, argv);
    }
    if (onX11) {
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

DesktopChoice chooseLinuxDesktop(const DesktopRequest& request, MainQueue& mainQueue,
                                 Clock& clock) {
    DesktopChoice choice;
    auto created =
        linux_desktop::LinuxDesktop::create(mainQueue, clock, {request.dataDirectory, {}});
    if (!created.desktop) {
        choice.error = "Cannot use the Linux desktop: " + created.error +
                       " (or use --desktop sim:SCENARIO.json for the simulated one)";
        return choice;
    }
    choice.backend = std::make_unique<LinuxDesktopBackend>(std::move(created.desktop));
    choice.notices.push_back("Desktop: " + choice.backend->description());
    return choice;
}

}  // namespace orvex

#else

#include <QApplication>

namespace orvex {

bool linuxDesktopBuilt() {
    return false;
}

std::unique_ptr<QCoreApplication> createQtApplication(int& argc, char** argv, bool, bool windows) {
    if (windows) {
        return std::make_unique<QApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

constexpr const char* kNotBuilt =
    "This Orvex was built without the Linux desktop backend (X11, XTest, GIO or Qt Gui "
    "missing): running with no desktop (use --desktop sim:SCENARIO.json for the simulated one)";

DesktopChoice chooseLinuxDesktop(const DesktopRequest&, MainQueue&, Clock&) {
    DesktopChoice choice;
    choice.notices.emplace_back(kNotBuilt);
    return choice;
}

}  // namespace orvex

#endif
