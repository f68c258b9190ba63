#pragma once

#include <memory>

#include "base/clock.h"
#include "desktop/linux/chromium/chromium_browser.h"
#include "desktop/linux/x11/linux_scriptable.h"
#include "desktop/processes.h"
#include "desktop/script/script_interpreter.h"
#include "desktop/script/scriptable_application_registry.h"

namespace orvex::linux_desktop {

// Scripts on the X11 desktop: the interpreter with "System Events", "Terminal", "Finder",
// "Google Chrome" (Orvex's Chromium) and every other application by name. `do shell
// script` goes to the child processes.
class LinuxScripting {
  public:
    LinuxScripting(ScriptingServices services, Clock& clock, Processes& processes,
                   chromium::BrowserOptions browser);

    ScriptHost& host() { return *interpreter_; }

  private:
    std::shared_ptr<const ScriptingServices> services_;
    std::shared_ptr<chromium::ChromiumBrowser> browser_;
    script::ScriptableApplicationRegistry registry_;
    std::unique_ptr<script::ScriptInterpreter> interpreter_;
};

}  // namespace orvex::linux_desktop
