#include "app/shortcuts/shortcut_manager.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/shortcuts/shortcut_strings.h"
#include "app/shortcuts/tests/fake_hot_keys.h"
#include "base/clock.h"
#include "base/log.h"
#include "base/manual_main_queue.h"

namespace orvex {
namespace {

PresetData preset(std::string label, std::string shortcut) {
    PresetData p;
    p.id = "id-" + label;
    p.label = std::move(label);
    p.shortcut = std::move(shortcut);
    return p;
}

class ShortcutManagerTest : public ::testing::Test {
  protected:
    ShortcutManagerTest() {
        notifications.addObserver(notifications::executePreset,
                                  [this](const AppNotification& n) { posted.push_back(n); });
    }

    void press(std::string_view shortcut) {
        auto parsed = parseShortcut(shortcut);
        ASSERT_TRUE(parsed);
        hotKeys.press(parsed->keyCode, parsed->modifiers);
    }

    ScopedLogCapture logs;
    VirtualClock clock;
    ManualMainQueue mainQueue{clock};
    NotificationCenter notifications{mainQueue};
    FakeHotKeys hotKeys;
    std::unique_ptr<ShortcutManager> manager =
        std::make_unique<ShortcutManager>(hotKeys, mainQueue, notifications);
    std::vector<AppNotification> posted;
};

TEST_F(ShortcutManagerTest, RegistersParsableShortcutsWithConsecutiveIds) {
    manager->registerAll({preset("Ask", "Alt+D"), preset("Blank", ""), preset("Nope", "Ctrl+F13"),
                          preset("Two", "CommandOrControl+Shift+2")});

    EXPECT_EQ(manager->hotKeyRefs(), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(hotKeys.registered.at(1), (FakeHotKeys::Registration{2, optionKey}));
    EXPECT_EQ(hotKeys.registered.at(2), (FakeHotKeys::Registration{19, cmdKey | shiftKey}));
    EXPECT_TRUE(logs.console().lines().empty());
}

TEST_F(ShortcutManagerTest, FiringPostsThePresetOnALaterTurn) {
    manager->registerAll({preset("Ask", "Alt+D"), preset("Two", "CommandOrControl+Shift+2")});

    press("Cmd+Shift+2");
    EXPECT_EQ(logs.system().lines(),
              (std::vector<std::string>{"[ShortcutManager] HotKey FIRED: id=2",
                                        "[ShortcutManager] Posting executePreset for: Two"}));
    EXPECT_TRUE(posted.empty());

    mainQueue.runUntilIdle();
    EXPECT_EQ(logs.system().lines().back(), "[ShortcutManager] main.async executing for: Two");
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].name, "executePreset");
    ASSERT_TRUE(posted[0].preset);
    EXPECT_EQ(*posted[0].preset, preset("Two", "CommandOrControl+Shift+2"));
}

TEST_F(ShortcutManagerTest, DuplicateShortcutFailsOnceAndFirstStillRuns) {
    manager->registerAll(
        {preset("First", "Alt+D"), preset("Second", "option+d"), preset("Third", "Cmd+K")});

    EXPECT_EQ(logs.console().lines(),
              (std::vector<std::string>{"Failed to register shortcut: option+d (status: -9878)"}));

    press("Alt+D");
    mainQueue.runUntilIdle();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].preset->label, "First");
}

TEST_F(ShortcutManagerTest, EditedPresetIsPostedAsRegisteredUntilRegisteredAgain) {
    std::vector<PresetData> presets{preset("Old", "Alt+D")};
    manager->registerAll(presets);
    presets[0].label = "New";

    press("Alt+D");
    mainQueue.runUntilIdle();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].preset->label, "Old");

    manager->registerAll(presets);
    press("Alt+D");
    mainQueue.runUntilIdle();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[1].preset->label, "New");
}

TEST_F(ShortcutManagerTest, UnregisterAllReleasesEveryHotKey) {
    manager->registerAll({preset("Ask", "Alt+D"), preset("Two", "Cmd+Shift+2")});
    manager->unregisterAll();

    EXPECT_TRUE(hotKeys.registered.empty());

    press("Alt+D");
    mainQueue.runUntilIdle();
    EXPECT_TRUE(posted.empty());
    EXPECT_TRUE(logs.system().lines().empty());
}

TEST_F(ShortcutManagerTest, UnknownIdIsLoggedAndIgnored) {
    manager->registerAll({preset("Ask", "Alt+D")});
    hotKeys.fire(7);
    mainQueue.runUntilIdle();

    EXPECT_EQ(logs.system().lines(),
              (std::vector<std::string>{"[ShortcutManager] HotKey FIRED: id=7",
                                        "[ShortcutManager] No preset for id=7"}));
    EXPECT_TRUE(posted.empty());
}

TEST_F(ShortcutManagerTest, DestructionUnregistersAndDropsPendingPosts) {
    manager->registerAll({preset("Ask", "Alt+D")});
    press("Alt+D");
    manager.reset();

    EXPECT_TRUE(hotKeys.registered.empty());
    EXPECT_FALSE(hotKeys.handler);
    mainQueue.runUntilIdle();
    EXPECT_TRUE(posted.empty());
}

}  // namespace
}  // namespace orvex
