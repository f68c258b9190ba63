#include "app/ui/application_shell.h"

#include <gtest/gtest.h>

#include "app/shortcuts/shortcut_manager.h"
#include "app/ui/backends/sim_desktop_backend.h"
#include "app/ui/desktop_backend.h"
#include "base/log.h"
#include "base/manual_main_queue.h"
#include "desktop/sim/sim_desktop.h"
#include "testing/source_tree.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;

// The shell on virtual time: main queue and tasks run only when the test pumps them.
class ApplicationShellTest : public ::testing::Test {
  protected:
    ApplicationShellTest() { std::filesystem::create_directories(temp / "orvex"); }

    ApplicationShell& makeShell(Desktop* desktop = nullptr,
                                std::optional<std::string> testPreset = std::nullopt) {
        shell = std::make_unique<ApplicationShell>(ShellEnvironment{
            queue, clock, tasks, AppPaths{temp / "orvex"},
            testing::sourceDir() / "app/i18n/resources/locales", desktop, std::move(testPreset)});
        return *shell;
    }
    // Everything the main queue and the tasks have to do, at the present moment.
    void settle() {
        do {
            queue.runUntilIdle();
        } while (tasks.runAll() > 0);
        queue.runUntilIdle();
    }
    int observed(const char* name) {
        auto count = std::make_shared<int>(0);
        shell->notifications().addObserver(name, [count](const AppNotification&) { ++*count; });
        counters.push_back(count);
        return static_cast<int>(counters.size() - 1);
    }
    int count(int counter) const { return *counters[counter]; }
    PresetData firstPreset() { return shell->state().allPresets().front(); }

    TempDir temp;
    VirtualClock clock;
    ManualMainQueue queue{clock};
    ManualTaskRunner tasks;
    ScopedLogCapture logs;
    std::unique_ptr<ApplicationShell> shell;
    std::vector<std::shared_ptr<int>> counters;
};

// A hot-key style request; the command route is checked through the running program.
TEST_F(ApplicationShellTest, WithoutDesktopARunFailsWithItsReason) {
    makeShell().start();
    EXPECT_FALSE(shell->hasDesktop());
    EXPECT_EQ(shell->shortcuts(), nullptr);
    settle();
    shell->notifications().post(notifications::executePreset, firstPreset());
    settle();
    EXPECT_EQ(shell->state().statusMessage(), shell->i18n().text("status.noDesktopSession"));
    EXPECT_TRUE(shell->state().statusIsError());
    EXPECT_EQ(shell->activeRuns(), 0);
}

TEST_F(ApplicationShellTest, FirstStartOffersTheTutorialAndRemembersItsEnd) {
    makeShell();
    int tutorial = observed(notifications::startTutorial);
    shell->start();
    settle();
    queue.advance(999ms);
    EXPECT_EQ(count(tutorial), 0);
    queue.advance(1ms);
    EXPECT_EQ(count(tutorial), 1);

    shell->notifications().post(notifications::tutorialCompleted);
    settle();
    EXPECT_EQ(shell->settings().load().tutorialCompleted, true);

    // The next start offers nothing.
    shell.reset();
    makeShell();
    int again = observed(notifications::startTutorial);
    shell->start();
    queue.advance(2s);
    EXPECT_EQ(count(again), 0);
}

// The run itself is checked through the running program (app/ui/e2e).
TEST_F(ApplicationShellTest, TestPresetModeHidesTheWindowAndIgnoresAnUnknownPreset) {
    makeShell(nullptr, "no-such-preset");
    int hidden = observed(notifications::hideMainWindow);
    shell->start();
    queue.advance(6s);
    EXPECT_EQ(count(hidden), 1);
    EXPECT_EQ(tasks.pending(), 0u);
}

// On the simulated demo desktop: hot keys are registered, come back after a wake, and a
// pressed one runs its preset all the way to the chat application.
TEST_F(ApplicationShellTest, HotKeysRegisterReRegisterOnWakeAndRunPresets) {
    auto backend =
        SimDesktopBackend::create(testing::sourceDir() / "desktop/sim/scenarios/demo.json",
                                  temp / "sim", temp / "journal.jsonl", queue, clock);
    ASSERT_TRUE(backend.backend) << backend.error;
    SimDesktop& sim = backend.backend->sim();
    makeShell(&backend.backend->desktop()).start();
    settle();
    auto registrations = [&] {
        std::size_t n = 0;
        for (const Json& entry : sim.journal()) {
            n += entry["event"] == "hotKeyRegistered";
        }
        return n;
    };
    const std::size_t first = registrations();
    EXPECT_EQ(first, shell->shortcuts()->hotKeyRefs().size());
    ASSERT_GT(first, 0u);

    sim.wake();
    settle();
    EXPECT_EQ(registrations(), 2 * first);

    // Factory preset "1" is on Alt+D (key code 2, Option): it asks the chat app.
    sim.pressHotKey(2, 2048);
    settle();
    auto messages = sim.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("The release moves to Friday"), std::string::npos);
    EXPECT_FALSE(shell->state().statusIsError()) << shell->state().statusMessage();
    shell.reset();
}

}  // namespace
}  // namespace orvex
