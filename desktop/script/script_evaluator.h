#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "base/clock.h"
#include "desktop/processes.h"
#include "desktop/script/script_ast.h"
#include "desktop/script/scriptable_application_registry.h"

namespace orvex::script {

// Bounds that keep a bad script from hanging or exhausting the process.
struct InterpreterLimits {
    std::size_t maxSourceBytes = 256 * 1024;
    int maxNesting = 100;
    // Statements and loop turns per run.
    std::size_t maxSteps = 200000;
    // Size of any one value (list items, text in 16-byte units) and depth of nested lists.
    std::size_t maxValueWeight = std::size_t{1} << 20;
    std::size_t maxValueNesting = 100;
    // Sum of all `delay`s of one run.
    Clock::Duration maxTotalDelay = std::chrono::minutes(5);
};

// Runs one compiled script. One evaluator per run; it is not shared between threads.
class Evaluator {
  public:
    // `processes` runs `do shell script`; without it that command fails with a message.
    Evaluator(const ScriptableApplicationRegistry& applications, Clock& clock, Processes* processes,
              const InterpreterLimits& limits);

    // The script's result: the value of `return`, else of the last statement run. Throws
    // ScriptError for script errors and ScriptAbort when a limit stops it.
    Value run(const Script& script);

  private:
    enum class Flow { normal, exitRepeat, returned };

    Flow execBlock(const Block& block);
    Flow execStatement(const Stmt& stmt);
    Flow execRepeatBody(const Block& body, bool& stop);
    Flow execRange(const Stmt& stmt);
    void execDelay(const Stmt& stmt);
    void assign(const Expr& target, const Value& value);

    Value eval(const Expr& expr);
    Value evalTerm(const Expr& expr);
    Value evalApplication(const Expr& expr);
    Value evalSpecifier(const Expr& expr);
    std::optional<Value> applySpecifier(const Expr& expr, const Value& container);
    std::optional<Value> applyToObject(const Expr& expr, const ObjectRef& object);
    std::optional<Value> applyToList(const Expr& expr, const std::vector<Value>& items);
    std::optional<Value> applyToText(const Expr& expr, const std::string& text);
    Value pick(const Expr& expr, const std::vector<Value>& elements, const std::string& owner);
    Value evalBinary(const Expr& expr);
    Value evalUnary(const Expr& expr);
    Value evalCoerce(const Expr& expr);
    Value evalCount(const Expr& expr);
    Value evalCommand(const Expr& expr);
    Value evalMakeNew(const Expr& expr);
    Value evalShell(const Expr& expr);

    void step();
    const Value& checked(const Value& value) const;
    std::string describeSpecifier(const Expr& expr);

    const ScriptableApplicationRegistry& applications_;
    Clock& clock_;
    Processes* processes_;
    InterpreterLimits limits_;
    std::map<std::string, Value> variables_;
    std::vector<ObjectRef> tellTargets_;
    Value result_;
    std::size_t steps_ = 0;
    Clock::Duration delayed_{0};
};

}  // namespace orvex::script
