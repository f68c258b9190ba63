#include "app/execution/apple_script_runner.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "base/clock.h"
#include "base/log.h"
#include "base/task_runner.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;

class ScriptedHost : public ScriptHost {
  public:
    ScriptOutcome run(const std::string& source) override {
        sources.push_back(source);
        if (outcomes.empty()) {
            return ScriptOutcome::success(std::nullopt);
        }
        ScriptOutcome next = outcomes.front();
        outcomes.pop_front();
        return next;
    }
    std::deque<ScriptOutcome> outcomes;
    std::vector<std::string> sources;
};

// Modifiers stay held for `pollsUntilRelease` reads, then read as released.
class RecordingKeyboard : public Keyboard {
  public:
    KeyModifiers heldModifiers() override {
        ++reads;
        if (pollsUntilRelease >= 0 && reads > pollsUntilRelease) {
            return {};
        }
        return held;
    }
    void postKeyUp(std::uint16_t keyCode) override { keyUps.push_back(keyCode); }
    std::optional<std::string> postKeystroke(const std::string&, KeyModifiers) override {
        return std::nullopt;
    }
    std::optional<std::string> postKeyCode(std::uint16_t, KeyModifiers) override {
        return std::nullopt;
    }
    KeyModifiers held;
    int pollsUntilRelease = -1;
    int reads = 0;
    std::vector<std::uint16_t> keyUps;
};

class AppleScriptRunnerTest : public ::testing::Test {
  protected:
    ScriptedHost host;
    RecordingKeyboard keyboard;
    VirtualClock clock;
    ManualTaskRunner tasks;
    AppleScriptRunner runner{host, keyboard, clock, tasks};
    ScopedLogCapture logs;
};

TEST_F(AppleScriptRunnerTest, ResultsAndErrors) {
    host.outcomes = {ScriptOutcome::success("hello"), ScriptOutcome::success(std::nullopt),
                     ScriptOutcome::failure("Application isn't running."),
                     ScriptOutcome::failure(std::nullopt)};
    EXPECT_EQ(runner.runAsync("a"), "hello");
    EXPECT_EQ(runner.runAsync("b"), "");
    EXPECT_TRUE(logs.system().lines().empty());
    for (const char* expected : {"Application isn't running.", "Unknown AppleScript error"}) {
        try {
            runner.runAsync("c");
            ADD_FAILURE() << "expected an error";
        } catch (const AppleScriptError& error) {
            EXPECT_EQ(error.message(), expected);
            EXPECT_STREQ(error.what(), expected);
        }
    }
    EXPECT_EQ(logs.system().lines(),
              (std::vector<std::string>{"[AppleScript] error: Application isn't running.",
                                        "[AppleScript] error: Unknown AppleScript error"}));
}

TEST_F(AppleScriptRunnerTest, ReleasesHeldModifiersAfterEveryRunInOrder) {
    keyboard.held = {.shift = true, .command = true};
    runner.runAsync("x");
    EXPECT_EQ(keyboard.keyUps, (std::vector<std::uint16_t>{55, 54, 56, 60}));

    keyboard.keyUps.clear();
    keyboard.held = {.shift = true, .control = true, .option = true, .command = true};
    host.outcomes = {ScriptOutcome::failure("boom")};
    EXPECT_THROW(runner.runAsync("y"), AppleScriptError);
    EXPECT_EQ(keyboard.keyUps, (std::vector<std::uint16_t>{55, 54, 58, 61, 59, 62, 56, 60}));

    keyboard.keyUps.clear();
    keyboard.held = {};
    runner.runAsync("z");
    EXPECT_TRUE(keyboard.keyUps.empty());
}

TEST_F(AppleScriptRunnerTest, WaitForModifierReleasePollsOnTheClock) {
    keyboard.held = {.option = true};
    keyboard.pollsUntilRelease = 3;
    runner.waitForModifierRelease(250ms);
    EXPECT_EQ(clock.sleeps(), std::vector<Clock::Duration>(3, 15ms));

    clock.clearSleeps();
    keyboard.pollsUntilRelease = -1;
    keyboard.reads = 0;
    auto start = clock.now();
    runner.waitForModifierRelease(250ms);
    // Gives up at the first poll past the deadline.
    EXPECT_GE(clock.now() - start, 250ms);
    EXPECT_LT(clock.now() - start, 250ms + 15ms);
}

// Any failure reads as no window (the whole runs show the answers that work).
TEST_F(AppleScriptRunnerTest, WindowChecksReadFailuresAsNoWindow) {
    using Outcomes = std::deque<ScriptOutcome>;
    const std::vector<std::tuple<Outcomes, bool, std::size_t>> terminal{
        {{ScriptOutcome::success("true"), ScriptOutcome::failure("no process")}, false, 2},
        {{ScriptOutcome::failure(std::nullopt)}, false, 1},
    };
    for (const auto& [outcomes, expected, runs] : terminal) {
        host.sources.clear();
        host.outcomes = outcomes;
        EXPECT_EQ(runner.terminalHasWindow(), expected);
        EXPECT_EQ(host.sources.size(), runs);
    }
    host.outcomes = {ScriptOutcome::failure("x")};
    EXPECT_FALSE(runner.finderHasWindow());
}

TEST_F(AppleScriptRunnerTest, TabSearchWithoutAHostRunsNothing) {
    EXPECT_THROW(runner.chromeOpenOrFocusTab("not a url"), AppleScriptError);
    EXPECT_TRUE(host.sources.empty());
}

TEST_F(AppleScriptRunnerTest, AsynchronousFormCompletesOnItsTask) {
    host.outcomes = {ScriptOutcome::success("42"), ScriptOutcome::failure("bad")};
    std::vector<AppleScriptResult> results;
    runner.runAsync("one", [&](AppleScriptResult result) { results.push_back(result); });
    runner.runAsync("two", [&](AppleScriptResult result) { results.push_back(result); });
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(tasks.runAll(), 2u);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(results[0].ok());
    EXPECT_EQ(results[0].value, "42");
    ASSERT_FALSE(results[1].ok());
    EXPECT_EQ(results[1].error->message(), "bad");
}

}  // namespace
}  // namespace orvex
