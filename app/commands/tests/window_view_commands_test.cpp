#include <gtest/gtest.h>

#include "app/commands/tests/command_fixture.h"
#include "app/commands/window_view_commands.h"

namespace orvex::commands_test {
namespace {

using Names = std::vector<std::string>;

class WindowViewCommands : public CommandFixture {
  protected:
    void SetUp() override {
        startWithSampleList();
        for (const char* name : {notifications::showMainWindow, notifications::hideMainWindow,
                                 notifications::toggleAlwaysOnTop, notifications::openHelp,
                                 notifications::openSettings, notifications::closeSettings,
                                 notifications::editPresetById}) {
            notifications->addObserver(name, [this](const AppNotification& n) {
                seen.push_back(n.name);
                seenPresets.push_back(n.preset);
                // The answer is built after every observer of the command has run.
                if (n.name != notifications::editPresetById) {
                    EXPECT_EQ(answers.size(), answeredBefore);
                }
            });
        }
    }

    CLIResponse askAndWatch(const std::string& action, CommandParams params = {}) {
        seen.clear();
        seenPresets.clear();
        answeredBefore = answers.size();
        return ask(action, std::move(params));
    }

    Names seen;
    std::vector<std::optional<PresetData>> seenPresets;
    std::size_t answeredBefore = 0;
};

TEST_F(WindowViewCommands, EachActionPostsItsNotificationsInOrderThenAnswers) {
    const struct {
        const char* action;
        Names notifications;
    } cases[] = {
        {"window.show", {"showMainWindow"}},
        {"window.hide", {"hideMainWindow"}},
        {"window.toggle-pin", {"toggleAlwaysOnTop"}},
        {"view.settings", {"showMainWindow", "openSettings"}},
        {"view.main", {"closeSettings", "showMainWindow"}},
        {"help.show", {"openHelp"}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(askAndWatch(c.action).success) << c.action;
        EXPECT_EQ(seen, c.notifications) << c.action;
        for (const auto& preset : seenPresets) {
            EXPECT_FALSE(preset) << c.action;  // no user information
        }
    }
    EXPECT_EQ(mainQueue.pendingTimerCount(), 0u);
}

TEST_F(WindowViewCommands, EditOpensSettingsThenNamesThePresetAfterTheDelay) {
    EXPECT_TRUE(askAndWatch("view.settings.edit", {{"id", "p2"}}).success);
    EXPECT_EQ(seen, (Names{"showMainWindow", "openSettings"}));

    // Changes made after the command do not reach the preset it carries.
    ask("preset.update", {{"id", "p2"}, {"label", "Later"}});
    mainQueue.advance(kEditPresetDelay - std::chrono::milliseconds(1));
    EXPECT_EQ(seen.size(), 2u);
    mainQueue.advance(std::chrono::milliseconds(1));
    ASSERT_EQ(seen, (Names{"showMainWindow", "openSettings", "editPresetById"}));
    ASSERT_TRUE(seenPresets[2]);
    EXPECT_EQ(seenPresets[2]->id, "p2");
    EXPECT_EQ(seenPresets[2]->label, "Second");
}

}  // namespace
}  // namespace orvex::commands_test
