// No damaged version of a fixed script (cut short anywhere, or missing a line) can crash the
// interpreter; the whole runs show the intact ones at work.

#include "app/execution/apple_scripts.h"
#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::execution_test {
namespace {

class FixedScriptsRunTest : public SimExecutionFixture {
  protected:
    void SetUp() override {
        auto error = applyScenarioFile(
            *sim_, orvex::testing::sourceDir() / "desktop/sim/scenarios/demo.json",
            sandbox_.path());
        ASSERT_FALSE(error) << *error;
    }
};

TEST_F(FixedScriptsRunTest, DamagedScriptsFailWithAMessageAndNeverCrash) {
    const Strings scripts = {pasteKeystrokeScript(),
                             copyKeystrokeScript(),
                             cutKeystrokeScript(),
                             newChatKeystrokeScript(),
                             sendKeystrokeScript(),
                             pasteScript(true),
                             terminalPasteScript(true),
                             selectAllAndCopyScript(),
                             terminalProcessCheckScript(),
                             terminalWindowCountScript(),
                             finderWindowCountScript(),
                             activateByNameScript("Finder"),
                             frontTabQueryScript(),
                             chromeOpenOrFocusTabScript("chatgpt.com", "https://chatgpt.com/"),
                             finderFrontFolderScript(),
                             finderDefaultReadScript("NewWindowTarget")};
    std::size_t failures = 0;
    std::size_t runs = 0;
    auto check = [&](const std::string& text) {
        ScriptOutcome outcome = scripting_.host().run(text);
        ++runs;
        if (outcome.failed) {
            ++failures;
            EXPECT_FALSE(outcome.errorMessage.value_or("").empty()) << text;
        }
    };
    for (const std::string& text : scripts) {
        for (std::size_t length = 0; length < text.size(); ++length) {
            check(text.substr(0, length));
        }
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = text.find('\n', start);
            std::size_t next = end == std::string::npos ? text.size() : end + 1;
            check(text.substr(0, start) + text.substr(next));
            start = next;
        }
    }
    // Most damaged texts cannot compile; the counts only guard against a check that ran
    // nothing.
    EXPECT_GT(runs, 2000u);
    EXPECT_GT(failures, runs / 2);
}

// An application name or a defaults key must stay inside its literal, whatever it holds. The
// defaults are read by a shell no simulated run reaches: its text is what the shell gets, a
// key with shell syntax one quoted word, escaped again.
TEST(AppleScriptsTest, NamesAndKeysCannotLeaveTheirLiterals) {
    EXPECT_EQ(activateByNameScript("Evil\" to quit\n--\\"),
              "tell application \"Evil\\\" to quit\n--\\\\\" to activate");
    EXPECT_EQ(finderDefaultReadScript("a;b 'c\""),
              "    do shell script \"defaults read com.apple.finder 'a;b '\\\\''c\\\"' "
              "2>/dev/null\"");
}

}  // namespace
}  // namespace orvex::execution_test
