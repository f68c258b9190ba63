// Every fixed script compiles and runs with the interpreter on the demo desktop, and no
// damaged version of one (cut short anywhere, or missing a line) can crash it.

#include "app/execution/apple_scripts.h"
#include "app/execution/tests/sim_execution_fixture.h"
#include "desktop/script/script_parser.h"

namespace orvex::execution_test {
namespace {

struct FixedScript {
    std::string name;
    std::string text;
};

std::vector<FixedScript> fixedScripts() {
    return {
        {"paste keystroke", pasteKeystrokeScript()},
        {"copy keystroke", copyKeystrokeScript()},
        {"cut keystroke", cutKeystrokeScript()},
        {"new chat keystroke", newChatKeystrokeScript()},
        {"send keystroke", sendKeystrokeScript()},
        {"paste and send", pasteScript(true)},
        {"paste only", pasteScript(false)},
        {"terminal paste and send", terminalPasteScript(true)},
        {"terminal paste only", terminalPasteScript(false)},
        {"select all and copy", selectAllAndCopyScript()},
        {"terminal process check", terminalProcessCheckScript()},
        {"terminal window count", terminalWindowCountScript()},
        {"finder window count", finderWindowCountScript()},
        {"activate by name", activateByNameScript("Finder")},
        {"front tab query", frontTabQueryScript()},
        {"tab search", chromeOpenOrFocusTabScript("chatgpt.com", "https://chatgpt.com/")},
        {"finder front folder", finderFrontFolderScript()},
        {"finder default", finderDefaultReadScript("NewWindowTarget")},
    };
}

class FixedScriptsRunTest : public SimExecutionFixture {
  protected:
    void SetUp() override {
        auto error = applyScenarioFile(*sim_, sourceDirectory() / "desktop/sim/scenarios/demo.json",
                                       sandbox_);
        ASSERT_FALSE(error) << *error;
    }
};

TEST_F(FixedScriptsRunTest, EveryFixedScriptRunsOnTheDemoDesktop) {
    for (const FixedScript& script : fixedScripts()) {
        EXPECT_NO_THROW(script::parseScript(script.text)) << script.name;
        ScriptOutcome outcome = scripting_.host().run(script.text);
        if (script.name == "finder default") {
            // The simulated desktop has no shell; the caller reads its defaults directly.
            EXPECT_TRUE(outcome.failed);
            continue;
        }
        EXPECT_FALSE(outcome.failed) << script.name << ": " << outcome.errorMessage.value_or("");
    }
}

TEST_F(FixedScriptsRunTest, DamagedScriptsFailWithAMessageAndNeverCrash) {
    std::size_t failures = 0;
    std::size_t runs = 0;
    auto check = [&](const std::string& name, const std::string& text) {
        ScriptOutcome outcome = scripting_.host().run(text);
        ++runs;
        if (outcome.failed) {
            ++failures;
            ASSERT_TRUE(outcome.errorMessage.has_value()) << name;
            EXPECT_FALSE(outcome.errorMessage->empty()) << name;
        }
    };
    for (const FixedScript& script : fixedScripts()) {
        const std::string& text = script.text;
        for (std::size_t length = 0; length < text.size(); ++length) {
            check(script.name + " cut at " + std::to_string(length), text.substr(0, length));
        }
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            std::size_t next = end == std::string::npos ? text.size() : end + 1;
            check(script.name + " without a line",
                  text.substr(0, start) + text.substr(std::min(next, text.size())));
            start = next;
        }
    }
    // Most damaged texts cannot compile; the count only guards against a check that ran
    // nothing.
    EXPECT_GT(runs, 2000u);
    EXPECT_GT(failures, runs / 2);
}

// An application name or a defaults key must stay inside its literal, whatever it holds.
TEST(AppleScriptsTest, NamesAndKeysCannotLeaveTheirLiterals) {
    EXPECT_EQ(activateByNameScript("Finder"), "tell application \"Finder\" to activate");
    EXPECT_EQ(activateByNameScript("Evil\" to quit\n--\\"),
              "tell application \"Evil\\\" to quit\n--\\\\\" to activate");
    // The file manager's defaults are read by a shell no simulated run reaches: its text is
    // what the shell gets. A key with shell syntax is one quoted word, escaped again.
    EXPECT_EQ(finderDefaultReadScript("NewWindowTarget"),
              "    do shell script \"defaults read com.apple.finder NewWindowTarget 2>/dev/null\"");
    EXPECT_EQ(finderDefaultReadScript("a;b 'c\""),
              "    do shell script \"defaults read com.apple.finder 'a;b '\\\\''c\\\"' "
              "2>/dev/null\"");
}

}  // namespace
}  // namespace orvex::execution_test
