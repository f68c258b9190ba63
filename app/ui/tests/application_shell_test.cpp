#include "app/ui/application_shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

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
    // The simulated demo desktop, on this test's queue and clock.
    SimDesktopBackend::Result demoDesktop() {
        return SimDesktopBackend::create(testing::sourceDir() / "desktop/sim/scenarios/demo.json",
                                         temp / "sim", temp / "journal.jsonl", queue, clock);
    }
    // How many journal entries of `event` the simulated desktop holds.
    static std::ptrdiff_t journaled(const SimDesktop& sim, const char* event) {
        return std::ranges::count_if(sim.journal(),
                                     [&](const Json& entry) { return entry["event"] == event; });
    }
    // How often `name` is posted from now on.
    const int& posts(const char* name) {
        int& count = counts.emplace_back(0);
        shell->notifications().addObserver(name, [&count](const AppNotification&) { ++count; });
        return count;
    }

    TempDir temp;
    VirtualClock clock;
    ManualMainQueue queue{clock};
    ManualTaskRunner tasks;
    ScopedLogCapture logs;
    std::deque<int> counts;  // outlives the shell that counts into it
    std::unique_ptr<ApplicationShell> shell;
};

TEST_F(ApplicationShellTest, FirstStartOffersTheTutorialAndRemembersItsEnd) {
    makeShell();
    const int& tutorial = posts(notifications::startTutorial);
    shell->start();
    settle();
    queue.advance(999ms);
    EXPECT_EQ(tutorial, 0);
    queue.advance(1ms);
    EXPECT_EQ(tutorial, 1);

    shell->notifications().post(notifications::tutorialCompleted);
    settle();
    EXPECT_EQ(shell->settings().load().tutorialCompleted, true);

    // The next start offers nothing.
    shell.reset();
    makeShell();
    const int& again = posts(notifications::startTutorial);
    shell->start();
    queue.advance(2s);
    EXPECT_EQ(again, 0);
}

// The run itself is checked through the running program (app/ui/e2e).
TEST_F(ApplicationShellTest, TestPresetModeHidesTheWindowAndIgnoresAnUnknownPreset) {
    makeShell(nullptr, "no-such-preset");
    const int& hidden = posts(notifications::hideMainWindow);
    shell->start();
    queue.advance(6s);
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(tasks.pending(), 0u);
}

// On the simulated demo desktop hot keys are registered, and again after a wake. A pressed
// one running its preset is checked on the X11 desktop (desktop/linux/x11/desktop_tests).
TEST_F(ApplicationShellTest, HotKeysRegisterAndReRegisterOnWake) {
    auto backend = demoDesktop();
    ASSERT_TRUE(backend.backend) << backend.error;
    SimDesktop& sim = backend.backend->sim();
    makeShell(&backend.backend->desktop()).start();
    settle();
    auto registrations = [&] { return journaled(sim, "hotKeyRegistered"); };
    const auto first = registrations();
    EXPECT_EQ(first, std::ssize(shell->shortcuts()->hotKeyRefs()));
    ASSERT_GT(first, 0);

    sim.wake();
    settle();
    EXPECT_EQ(registrations(), 2 * first);

    shell.reset();
}

// Without accessibility the window keeps away and Orvex asks; once it is granted the window
// comes forward and the hot keys are registered afresh, and the asking stops.
TEST_F(ApplicationShellTest, AnUntrustedStartWaitsForAccessibility) {
    auto backend = demoDesktop();
    ASSERT_TRUE(backend.backend) << backend.error;
    SimDesktop& sim = backend.backend->sim();
    sim.setPermission(SimPermission::accessibility, SimPermissionState::denied);
    makeShell(&backend.backend->desktop());
    // No first-start tutorial: it would show the window on its own.
    AppSettings stored = shell->settings().load();
    stored.tutorialCompleted = true;
    shell->settings().save(stored);
    const int& hidden = posts(notifications::hideMainWindow);
    const int& shown = posts(notifications::showMainWindow);
    shell->start();
    settle();
    auto count = [&](const char* event) { return journaled(sim, event); };
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(count("permissionPrompt"), 1);
    const auto registered = count("hotKeyRegistered");

    queue.advance(ApplicationShell::kTrustPollInterval * 3);
    settle();
    EXPECT_EQ(shown, 0) << "still not trusted";

    sim.setPermission(SimPermission::accessibility, SimPermissionState::granted);
    queue.advance(ApplicationShell::kTrustPollInterval);
    settle();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(count("hotKeyRegistered"), 2 * registered);
    queue.advance(ApplicationShell::kTrustPollInterval * 3);
    settle();
    EXPECT_EQ(shown, 1) << "the poll ended";
    shell.reset();
}

}  // namespace
}  // namespace orvex
