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

// Blank, unparsable and already-held shortcuts are skipped; the first holder of a
// combination keeps it.
TEST_F(ShortcutManagerTest, RegistersEachUsableShortcutWithConsecutiveIds) {
    manager->registerAll({preset("Ask", "Alt+D"), preset("Blank", ""), preset("Nope", "Ctrl+F13"),
                          preset("Again", "option+d"), preset("Two", "CommandOrControl+Shift+2")});

    EXPECT_EQ(manager->hotKeyRefs(), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(hotKeys.registered.at(1), (FakeHotKeys::Registration{2, optionKey}));
    EXPECT_EQ(hotKeys.registered.at(2), (FakeHotKeys::Registration{19, cmdKey | shiftKey}));
    EXPECT_EQ(logs.console().lines().size(), 1u);  // the refused duplicate

    press("Alt+D");
    mainQueue.runUntilIdle();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].preset->label, "Ask");
}

// The preset is posted on a later turn as it was when registered, until registered again;
// an id nobody holds posts nothing.
TEST_F(ShortcutManagerTest, FiringPostsThePresetAsRegistered) {
    std::vector<PresetData> presets{preset("Old", "Alt+D")};
    manager->registerAll(presets);
    presets[0].label = "New";

    press("Alt+D");
    EXPECT_TRUE(posted.empty());
    mainQueue.runUntilIdle();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].name, "executePreset");
    ASSERT_TRUE(posted[0].preset);
    EXPECT_EQ(*posted[0].preset, preset("Old", "Alt+D"));

    manager->registerAll(presets);
    press("Alt+D");
    hotKeys.fire(7);
    mainQueue.runUntilIdle();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[1].preset->label, "New");
}

TEST_F(ShortcutManagerTest, UnregisteringOrDestructionReleasesEveryHotKeyAndDropsPendingPosts) {
    manager->registerAll({preset("Ask", "Alt+D"), preset("Two", "Cmd+Shift+2")});
    manager->unregisterAll();
    EXPECT_TRUE(hotKeys.registered.empty());

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
