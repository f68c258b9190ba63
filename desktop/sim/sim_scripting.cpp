#include "desktop/sim/sim_scripting.h"

#include "desktop/sim/sim_processes.h"
#include "desktop/sim/sim_scriptable.h"

namespace orvex {

SimScripting::SimScripting(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {
    registry_.add("System Events", std::make_shared<SimSystemEvents>(desktop_));
    // The usual names, also found by bundle identifier when a scenario names the
    // application differently.
    registry_.add("Google Chrome", std::make_shared<SimScriptableApplication>(
                                       desktop_, "Google Chrome", "com.google.Chrome"));
    registry_.add("Terminal", std::make_shared<SimScriptableApplication>(desktop_, "Terminal",
                                                                         "com.apple.Terminal"));
    registry_.add("Finder", std::make_shared<SimScriptableApplication>(desktop_, "Finder",
                                                                       "com.apple.finder"));
    std::weak_ptr<SimDesktop> weak = desktop_;
    registry_.setResolver([weak](const std::string& name) -> script::ObjectRef {
        auto desktop = weak.lock();
        if (!desktop || !desktop->application(name)) {
            return nullptr;
        }
        return std::make_shared<SimScriptableApplication>(desktop, name);
    });
    interpreter_ = std::make_unique<script::ScriptInterpreter>(registry_, desktop_->clock(),
                                                               &desktop_->processes());
    desktop_->setScriptHost(interpreter_.get());
}

SimScripting::~SimScripting() {
    desktop_->setScriptHost(nullptr);
}

}  // namespace orvex
