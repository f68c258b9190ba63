// Every fixed script compiles and runs with the interpreter on the demo desktop, and no
// damaged version of one (cut short anywhere, or missing a line) can crash it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/execution/apple_scripts.h"
#include "base/clock.h"
#include "base/manual_main_queue.h"
#include "base/uuid.h"
#include "desktop/script/script_parser.h"
#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_scenario.h"
#include "desktop/sim/sim_scripting.h"

namespace orvex {
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

class FixedScriptsRunTest : public ::testing::Test {
  protected:
    FixedScriptsRunTest()
        : sandbox_(std::filesystem::temp_directory_path() / ("orvex-fixed-" + newUuid())),
          queue_(clock_),
          sim_(SimDesktop::create(clock_, queue_)) {
        std::filesystem::create_directories(sandbox_);
        const char* source = std::getenv("ORVEX_SOURCE_DIR");
        std::filesystem::path root = source ? std::filesystem::path(source)
                                            : std::filesystem::path(__FILE__)
                                                  .parent_path()
                                                  .parent_path()
                                                  .parent_path()
                                                  .parent_path();
        auto error = applyScenarioFile(*sim_, root / "desktop/sim/scenarios/demo.json", sandbox_);
        EXPECT_FALSE(error) << *error;
    }
    ~FixedScriptsRunTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(sandbox_, ignored);
    }

    std::filesystem::path sandbox_;
    VirtualClock clock_;
    ManualMainQueue queue_;
    std::shared_ptr<SimDesktop> sim_;
    SimScripting scripting_{sim_};
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

TEST_F(FixedScriptsRunTest, DemoAnswersOfTheQueries) {
    ScriptHost& host = scripting_.host();
    EXPECT_EQ(host.run(terminalProcessCheckScript()).stringValue, "true");
    EXPECT_EQ(host.run(terminalWindowCountScript()).stringValue, "1");
    EXPECT_EQ(host.run(finderWindowCountScript()).stringValue, "1");
    EXPECT_EQ(host.run(finderFrontFolderScript()).stringValue,
              (sandbox_ / "home/Documents").string() + "/");
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

}  // namespace
}  // namespace orvex
