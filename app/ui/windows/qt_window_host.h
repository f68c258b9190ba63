#pragma once

#include <functional>

#include "app/ui/window_shell.h"

namespace orvex {

class MainWindow;

// The windows the composition makes elsewhere (the help window, the tutorial overlay).
struct QtWindowHostHooks {
    std::function<bool()> helpVisible;
    std::function<void()> openHelp;
    std::function<void()> showTutorial;
};

// The window shell's host over the real main window.
class QtWindowHost final : public WindowHost {
  public:
    QtWindowHost(MainWindow& window, QtWindowHostHooks hooks);

    bool mainWindowVisible() const override;
    void showMainWindow() override;
    void hideMainWindow() override;
    bool helpWindowVisible() const override;
    void openHelpWindow() override;
    void setActivationMode(ActivationMode mode) override;
    void setAlwaysOnTop(bool onTop) override;
    void showSettings(bool settings) override;
    void showTutorial() override;

    ActivationMode activationMode() const { return mode_; }

  private:
    MainWindow& window_;
    QtWindowHostHooks hooks_;
    ActivationMode mode_ = ActivationMode::regular;
    bool placed_ = false;
};

}  // namespace orvex
