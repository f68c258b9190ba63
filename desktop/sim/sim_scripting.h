#pragma once

#include <memory>

#include "desktop/script/script_interpreter.h"
#include "desktop/script/scriptable_application_registry.h"
#include "desktop/sim/sim_desktop.h"

namespace orvex {

// Scripts on the simulated desktop: the interpreter, with System Events and every
// application of the desktop by name ("Terminal", "Finder", "Google Chrome", ...), installed
// as the desktop's script host for as long as this object lives. `do shell script` goes to
// the desktop's child processes.
class SimScripting {
  public:
    explicit SimScripting(std::shared_ptr<SimDesktop> desktop);
    ~SimScripting();
    SimScripting(const SimScripting&) = delete;
    SimScripting& operator=(const SimScripting&) = delete;

    ScriptHost& host() { return *interpreter_; }
    script::ScriptableApplicationRegistry& registry() { return registry_; }

  private:
    std::shared_ptr<SimDesktop> desktop_;
    script::ScriptableApplicationRegistry registry_;
    std::unique_ptr<script::ScriptInterpreter> interpreter_;
};

}  // namespace orvex
