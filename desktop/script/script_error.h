#pragma once

#include <stdexcept>
#include <string>

namespace orvex::script {

// Error numbers a script reports; they are the numbers other automation hosts use, so a
// message such as "... (-1743)" means the same thing wherever it comes from.
namespace errnum {
inline constexpr int kCantMakeType = -1700;
inline constexpr int kNotUnderstood = -1708;
inline constexpr int kInvalidIndex = -1719;
inline constexpr int kCantGet = -1728;
inline constexpr int kNotAuthorized = -1743;
inline constexpr int kCantSet = -10006;
inline constexpr int kDivideByZero = -2701;
inline constexpr int kUserError = -2700;
inline constexpr int kSyntax = -2741;
inline constexpr int kUndefinedVariable = -2753;
inline constexpr int kShellLaunch = -10004;
inline constexpr int kLimit = -2706;
}  // namespace errnum

// A failure while compiling or running a script. A `try` block in the script can catch it.
class ScriptError : public std::runtime_error {
  public:
    ScriptError(const std::string& message, int number)
        : std::runtime_error(message), number_(number) {}
    int number() const { return number_; }

  private:
    int number_;
};

// A run stopped by one of the interpreter's limits (steps, waiting time, value size). Unlike
// ScriptError it passes through `try` blocks, so a runaway script always ends.
class ScriptAbort : public std::runtime_error {
  public:
    explicit ScriptAbort(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace orvex::script
