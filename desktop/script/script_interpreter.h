#pragma once

#include <string>

#include "base/clock.h"
#include "desktop/processes.h"
#include "desktop/script/script_evaluator.h"
#include "desktop/script/scriptable_application_registry.h"
#include "desktop/script_host.h"

namespace orvex::script {

// Runs automation scripts with our own interpreter, against the applications a backend has
// put in the registry. Errors come back as "<message> (<number>)", for example
// "Not authorized to send Apple events to Google Chrome. (-1743)". Safe to call from several
// threads at once; each run has its own variables.
class ScriptInterpreter final : public ScriptHost {
  public:
    // `processes` carries `do shell script` (through /bin/sh); null refuses that command.
    ScriptInterpreter(const ScriptableApplicationRegistry& applications, Clock& clock,
                      Processes* processes = nullptr, InterpreterLimits limits = {});

    ScriptOutcome run(const std::string& source) override;

  private:
    const ScriptableApplicationRegistry& applications_;
    Clock& clock_;
    Processes* processes_;
    InterpreterLimits limits_;
};

}  // namespace orvex::script
