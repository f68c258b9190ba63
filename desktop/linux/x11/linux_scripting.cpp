#include "desktop/linux/x11/linux_scripting.h"

#include "desktop/linux/chromium/chromium_scriptable.h"
#include "desktop/linux/x11/x11_browser_windows.h"

namespace orvex::linux_desktop {

LinuxScripting::LinuxScripting(ScriptingServices services, Clock& clock, Processes& processes,
                               chromium::BrowserOptions browser)
    : services_(std::make_shared<const ScriptingServices>(std::move(services))),
      browser_(std::make_shared<chromium::ChromiumBrowser>(
          std::move(browser), clock,
          std::make_shared<X11BrowserWindows>(services_->applications))) {
    registry_.add(chromium::ChromeApplicationObject::kName,
                  std::make_shared<chromium::ChromeApplicationObject>(browser_));
    registry_.add("System Events", std::make_shared<SystemEventsObject>(services_));
    registry_.add("Terminal", std::make_shared<ApplicationObject>(
                                  services_, ApplicationObject::Kind::terminal, "Terminal"));
    registry_.add("Finder", std::make_shared<ApplicationObject>(
                                services_, ApplicationObject::Kind::fileManager, "Finder"));
    std::weak_ptr<const ScriptingServices> weak = services_;
    registry_.setResolver([weak](const std::string& name) -> script::ObjectRef {
        auto services = weak.lock();
        if (!services)
            return nullptr;
        auto app =
            std::make_shared<ApplicationObject>(services, ApplicationObject::Kind::named, name);
        return app->exists() ? app : nullptr;
    });
    interpreter_ = std::make_unique<script::ScriptInterpreter>(registry_, clock, &processes);
}

}  // namespace orvex::linux_desktop
