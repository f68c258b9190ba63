#include "desktop/script/script_interpreter.h"

#include <gtest/gtest.h>

#include "base/clock.h"
#include "desktop/script/script_error.h"

namespace orvex::script {
namespace {

// How the object model is addressed (elements, properties, make new, as alias) is run by
// the fixed scripts on the simulated desktop (app/execution/tests); here, applications that
// refuse, understand a command or do not.
class Application : public ScriptObject {
  public:
    explicit Application(std::string name, std::optional<std::string> denied = std::nullopt)
        : name_(std::move(name)), denied_(std::move(denied)) {}
    std::string describe() const override { return "application \"" + name_ + "\""; }
    std::optional<Value> property(const std::string&) override {
        if (denied_) {
            throw ScriptError(*denied_, errnum::kNotAuthorized);
        }
        return std::nullopt;
    }
    std::optional<Value> perform(const std::string& command, const Value& direct,
                                 const Record&) override {
        if (command != understood) {
            return std::nullopt;
        }
        performed.push_back(command + " " + script::describe(direct));
        return Value();
    }
    std::string understood;
    std::vector<std::string> performed;

  private:
    std::string name_;
    std::optional<std::string> denied_;
};

class ScriptInterpreterTest : public ::testing::Test {
  protected:
    // The result's string value, "<none>" without one; fails the test on an error.
    std::string ok(const std::string& source) {
        ScriptOutcome outcome = interpreter.run(source);
        EXPECT_FALSE(outcome.failed) << source << "\n -> " << outcome.errorMessage.value_or("");
        return outcome.stringValue.value_or("<none>");
    }
    // The error message; fails the test when the script succeeds.
    std::string error(const std::string& source) {
        ScriptOutcome outcome = interpreter.run(source);
        EXPECT_TRUE(outcome.failed) << source;
        EXPECT_TRUE(outcome.errorMessage.has_value());
        return outcome.errorMessage.value_or("");
    }

    VirtualClock clock;
    ScriptableApplicationRegistry registry;
    ScriptInterpreter interpreter{registry, clock};
};

TEST_F(ScriptInterpreterTest, ValuesAndOperators) {
    EXPECT_EQ(ok("return 1 + 2 * 3"), "7");
    EXPECT_EQ(ok("return (1 + 2) * 3"), "9");
    EXPECT_EQ(ok("return \"\" & 7 div 2 & \",\" & 7 mod 2"), "3,1");
    EXPECT_EQ(ok("return 1 / 4"), "0.25");
    EXPECT_EQ(ok("return 0.3"), "0.3");
    EXPECT_EQ(ok("return \"a\" & 1 & true"), "a1true");
    EXPECT_EQ(ok("return \"Hello\" = \"hello\""), "true");  // text ignores case
    EXPECT_EQ(ok("return 2 \xE2\x89\xA0 3"), "true");
    EXPECT_EQ(ok("return 2 \xE2\x89\xA0 2.0"), "false");
    EXPECT_EQ(ok("return 3 is greater than 2 and 2 \xE2\x89\xA4 2"), "true");
    EXPECT_EQ(ok("return not (1 < 2) or \"abc\" contains \"B\""), "true");
    EXPECT_EQ(ok("return \"abc\" does not contain \"x\""), "true");
    EXPECT_EQ(ok("return {1, 2, 3} contains 2"), "true");
    EXPECT_EQ(ok("return {1, 2, 3} contains {2, 3}"), "true");
    EXPECT_EQ(ok("return \"https://x.example/a\" starts with \"https\""), "true");
    EXPECT_EQ(ok("return 3 is in {1, 2}"), "false");
    EXPECT_EQ(ok("return \"5\" + 1"), "6");
    EXPECT_EQ(ok("return -(2 - 5)"), "3");
    EXPECT_EQ(ok("return 9223372036854775807 + 1 > 0"), "true");  // overflow goes real
    EXPECT_EQ(ok("return length of \"h\xC3\xA9llo\""), "5");
    EXPECT_EQ(ok("return count of {1, {2, 3}}"), "2");
    EXPECT_EQ(ok("return item -1 of {\"a\", \"b\"}"), "b");
    EXPECT_EQ(ok("return \"3\" as integer"), "3");
    // Lists, records and no result have no string value.
    EXPECT_EQ(ok("return {1, 2}"), "<none>");
    EXPECT_EQ(ok("return {a:1}"), "<none>");
    EXPECT_EQ(ok("return"), "<none>");
    EXPECT_EQ(ok(""), "<none>");
}

TEST_F(ScriptInterpreterTest, StatementsAndControlFlow) {
    EXPECT_EQ(ok("set x to 5\nset x to x + 1\nx"), "6");  // last statement's value
    EXPECT_EQ(ok("set X to 1\nreturn x"), "1");           // names ignore case
    EXPECT_EQ(ok("if 1 > 2 then\n return \"a\"\nelse if 2 > 1 then\n return \"b\"\nelse\n "
                 "return \"c\"\nend if"),
              "b");
    EXPECT_EQ(ok("set t to 0\nrepeat with i from 1 to 4\nset t to t + i\nend repeat\nt"), "10");
    EXPECT_EQ(ok("set t to 0\nrepeat with i from 10 to 1 by -3\nset t to t * 100 + i\nend "
                 "repeat\nt"),
              "10070401");
    EXPECT_EQ(ok("set s to \"\"\nrepeat with c in {\"x\", \"y\"}\nset s to s & c\nend repeat\ns"),
              "xy");
    EXPECT_EQ(ok("set n to 0\nrepeat\nset n to n + 1\nif n = 3 then exit repeat\nend repeat\nn"),
              "3");
    EXPECT_EQ(ok("set n to 0\nrepeat 4 times\nset n to n + 1\nend repeat\nn"), "4");
    EXPECT_EQ(ok("set n to 0\nrepeat while n < 3\nset n to n + 1\nend repeat\nn"), "3");
    EXPECT_EQ(ok("set n to 0\nrepeat until n = 2\nset n to n + 1\nend repeat\nn"), "2");
    // exit repeat leaves only the innermost loop.
    EXPECT_EQ(ok("set n to 0\nrepeat with i from 1 to 3\nrepeat with j from 1 to 3\nif j = 2 "
                 "then exit repeat\nset n to n + 1\nend repeat\nend repeat\nn"),
              "3");
    // return leaves every block at once.
    EXPECT_EQ(ok("repeat with i from 1 to 5\nif i = 2 then return i * 10\nend repeat\nreturn 0"),
              "20");
    EXPECT_EQ(ok("try\nerror \"boom\" number 42\non error msg\nreturn \"caught \" & msg\nend try"),
              "caught boom");
    // Comments of both kinds, a block comment and a continued line.
    EXPECT_EQ(ok("-- first\n# second\n(* block\n (* nested *) *)\nset x to 1 + \xC2\xAC\n  2 -- "
                 "tail\nreturn x"),
              "3");
    EXPECT_EQ(ok("set x to \"a\\\"b\\\\c\"\nreturn x"), "a\"b\\c");
}

// Delays are run on the virtual clock by every preset run (app/execution/tests).
TEST_F(ScriptInterpreterTest, RuntimeErrorsReadLikeThePlatform) {
    registry.add("Locked", std::make_shared<Application>(
                               "Locked", "Not authorized to send Apple events to Locked."));
    registry.add("Plain", std::make_shared<Application>("Plain"));
    auto keys = std::make_shared<Application>("Keys");
    keys->understood = "keystroke";
    registry.add("Keys", keys);
    // A command the inner target does not understand goes to the enclosing one.
    ok("tell application \"Keys\"\ntell application \"Plain\" to keystroke \"v\"\nend tell");
    EXPECT_EQ(keys->performed, std::vector<std::string>{"keystroke \"v\""});
    EXPECT_EQ(error("tell application \"Locked\" to return name"),
              "Not authorized to send Apple events to Locked. (-1743)");
    EXPECT_EQ(error("tell application \"Nowhere\" to activate"),
              "Can't get application \"Nowhere\". (-1728)");
    EXPECT_EQ(error("return y"), "The variable y is not defined. (-2753)");
    EXPECT_EQ(error("return 1 / 0"), "Can't divide 1 by zero. (-2701)");
    EXPECT_EQ(error("return item 3 of {1}"), "Can't get item 3 of {1}. Invalid index. (-1719)");
    EXPECT_EQ(error("if \"maybe\" then return 1"),
              "Can't make \"maybe\" into type boolean. (-1700)");
    EXPECT_EQ(error("keystroke \"a\""), "\"keystroke\" must be sent to an application. (-1708)");
    EXPECT_EQ(error("tell application \"Plain\" to keystroke \"a\""),
              "application \"Plain\" doesn't understand the \"keystroke\" message. (-1708)");
    EXPECT_EQ(error("error \"custom\""), "custom (-2700)");
    EXPECT_EQ(error("do shell script \"true\""), "do shell script is not available here. (-10004)");
}

TEST_F(ScriptInterpreterTest, SyntaxErrorsNameTheLine) {
    EXPECT_EQ(error("tell application \"X\"\nactivate"),
              "Syntax error on line 2: Expected \"end tell\" but found end of script. (-2741)");
    EXPECT_EQ(error("if 1 > 0\nend if"),
              "Syntax error on line 1: Expected \"then\" but found end of line. (-2741)");
    EXPECT_EQ(error("repeat 3 times\nend if"),
              "Syntax error on line 2: Expected \"end repeat\" but found \"end if\". (-2741)");
    EXPECT_EQ(error("exit repeat"),
              "Syntax error on line 1: \"exit repeat\" is only allowed inside a repeat loop. "
              "(-2741)");
    EXPECT_EQ(error("set x to \"open"), "Syntax error on line 1: Unterminated string. (-2741)");
    EXPECT_EQ(error("set 5 to 1"),
              "Syntax error on line 1: Expected a variable or a property to set. (-2741)");
    EXPECT_EQ(error("on run\nend run"),
              "Syntax error on line 1: Handlers are not supported. (-2741)");
    EXPECT_EQ(error("return 1 %"), "Syntax error on line 1: Unknown character \"%\". (-2741)");
    EXPECT_EQ(error("end tell"),
              "Syntax error on line 1: Expected end of script but found \"end\". (-2741)");
    // A number next to a text is a list, as on the platform.
    EXPECT_EQ(ok("return 3 & \",\""), "<none>");
}

TEST_F(ScriptInterpreterTest, LimitsStopRunawayScripts) {
    // An endless loop, even one wrapped in try, ends with a message.
    std::string message = error("try\nrepeat\nend repeat\non error\nreturn 1\nend try");
    EXPECT_NE(message.find("stopped after"), std::string::npos) << message;
    // Doubling a value cannot exhaust memory.
    message = error("set x to \"ab\"\nrepeat 100 times\nset x to x & x\nend repeat");
    EXPECT_NE(message.find("too large"), std::string::npos) << message;
    message = error("set x to {1}\nrepeat 200 times\nset x to {x}\nend repeat");
    EXPECT_NE(message.find("too large"), std::string::npos) << message;
    // Waiting is bounded too, without sleeping past the budget.
    message = error("delay 1.0E+300");
    EXPECT_NE(message.find("waited too long"), std::string::npos) << message;
    EXPECT_TRUE(clock.sleeps().empty());
    // Deep nesting is refused while reading, long chains by depth.
    EXPECT_NE(error("return " + std::string(500, '(') + "1" + std::string(500, ')')).find("nested"),
              std::string::npos);
    std::string chain = "return 1";
    for (int i = 0; i < 240; ++i) {
        chain += " + 1";
    }
    EXPECT_NE(error(chain).find("nested too deeply"), std::string::npos);
    EXPECT_NE(error(std::string(300 * 1024, ' ')).find("too long"), std::string::npos);
}

class RecordingProcesses : public Processes {
  public:
    ProcessResult run(const std::string& executable,
                      const std::vector<std::string>& arguments) override {
        calls.push_back(executable);
        for (const auto& argument : arguments) {
            calls.push_back(argument);
        }
        return next;
    }
    std::optional<std::string> bundledToolPath(const std::string&) override { return std::nullopt; }
    std::vector<std::string> calls;
    ProcessResult next;
};

TEST_F(ScriptInterpreterTest, ShellScriptsRunThroughTheShell) {
    RecordingProcesses processes;
    ScriptInterpreter withShell(registry, clock, &processes);
    processes.next = ProcessResult{true, "", 0, "PfDo\n", ""};
    ScriptOutcome outcome = withShell.run("do shell script \"echo 'a\\\\b' 2>/dev/null\"");
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(outcome.stringValue, "PfDo");  // without the trailing line break
    EXPECT_EQ(processes.calls,
              (std::vector<std::string>{"/bin/sh", "-c", "echo 'a\\b' 2>/dev/null"}));

    processes.next = ProcessResult{true, "", 1, "", "no such key\n"};
    EXPECT_EQ(withShell.run("do shell script \"x\"").errorMessage, "no such key (1)");
    processes.next = ProcessResult{false, "no shell", -1, "", ""};
    EXPECT_EQ(withShell.run("do shell script \"x\"").errorMessage,
              "do shell script could not start the shell: no shell (-10004)");
}

}  // namespace
}  // namespace orvex::script
