#include "desktop/script/script_interpreter.h"

#include <new>

#include "desktop/script/script_error.h"
#include "desktop/script/script_parser.h"

namespace orvex::script {

namespace {

std::string withNumber(const std::string& message, int number) {
    return message + " (" + std::to_string(number) + ")";
}

}  // namespace

ScriptInterpreter::ScriptInterpreter(const ScriptableApplicationRegistry& applications,
                                     Clock& clock, Processes* processes, InterpreterLimits limits)
    : applications_(applications), clock_(clock), processes_(processes), limits_(limits) {}

ScriptOutcome ScriptInterpreter::run(const std::string& source) {
    if (source.size() > limits_.maxSourceBytes) {
        return ScriptOutcome::failure(withNumber("The script is too long.", errnum::kLimit));
    }
    try {
        Script script = parseScript(source, limits_.maxNesting);
        Evaluator evaluator(applications_, clock_, processes_, limits_);
        return ScriptOutcome::success(stringValueOf(evaluator.run(script)));
    } catch (const ScriptError& error) {
        return ScriptOutcome::failure(withNumber(error.what(), error.number()));
    } catch (const ScriptAbort& abort) {
        return ScriptOutcome::failure(withNumber(abort.what(), errnum::kLimit));
    } catch (const std::bad_alloc&) {
        return ScriptOutcome::failure(withNumber("Out of memory.", -108));
    } catch (const std::exception& error) {
        // A scriptable object failed in a way it did not report as a script error.
        return ScriptOutcome::failure(withNumber(error.what(), errnum::kUserError));
    }
}

}  // namespace orvex::script
