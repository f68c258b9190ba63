#include "app/ui/windows/main_view.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/ui/windows/status_box.h"
#include "windows_test_support.h"

namespace orvex {
namespace {

class MainViewTest : public WindowsTest {
  protected:
    MainViewTest()
        : WindowsTest(R"({"language": "en", "presets": [
            {"type": "folder", "id": "F", "label": "Folder F", "open": false},
            {"id": "1", "label": "Preset 1", "folderId": "F", "shortcut": "Alt+D"},
            {"id": "2", "label": "Preset 2"},
            {"id": "3", "label": "Preset 3", "folderId": "F"}]})") {}

    MainView& view() {
        if (!view_) {
            view_ = std::make_unique<MainView>(
                app->state(), app->i18n(), app->notifications(),
                MainViewHooks{[this](const PresetData& preset) { runs.push_back(preset.id); },
                              [](const std::string& shortcut) { return "<" + shortcut + ">"; }});
            view_->show();
        }
        return *view_;
    }
    QString shownText(QPushButton* button, const char* part) {
        auto* label = button->findChild<QLabel*>(part);
        return label ? label->text() : QString();
    }

    std::vector<std::string> runs;
    std::unique_ptr<MainView> view_;
};

TEST_F(MainViewTest, AClosedFolderOpensOnAClickAndTheFileRemembersIt) {
    ASSERT_TRUE(named(view(), "Folder F"));
    EXPECT_FALSE(named(view(), "Preset 1")) << "a closed folder shows its header only";
    EXPECT_TRUE(named(view(), "Preset 3")) << "outside the folder's run: top level";

    QTest::mouseClick(named<QPushButton>(view(), "Folder F"), Qt::LeftButton);
    QPushButton* inside = named<QPushButton>(view(), "Preset 1");
    ASSERT_TRUE(inside);
    EXPECT_EQ(shownText(inside, "shortcut"), "<Alt+D>");
    const AppSettings stored = app->settings().load();
    EXPECT_TRUE(stored.presets.front().folder()->open);
    EXPECT_EQ(stored.language, "en") << "the save keeps the language";

    // By keyboard: the focus stays on the header across the redraw, Space closes it again.
    QPushButton* header = named<QPushButton>(view(), "Folder F");
    header->setFocus();
    QTest::keyClick(header, Qt::Key_Space);
    EXPECT_FALSE(named(view(), "Preset 1"));
    EXPECT_EQ(view().focusWidget(), named(view(), "Folder F"));
    EXPECT_TRUE(runs.empty());
}

TEST_F(MainViewTest, AClickOrEnterRunsThatPresetAndSettingsPostsItsNotification) {
    QPushButton* button = named<QPushButton>(view(), "Preset 2");
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(runs, (std::vector<std::string>{"2", "2"}));

    int opened = 0;
    app->notifications().addObserver(notifications::openSettings,
                                     [&](const AppNotification&) { ++opened; });
    QTest::mouseClick(named<QPushButton>(view(), text("index.settings")), Qt::LeftButton);
    settle();
    EXPECT_EQ(opened, 1);
}

TEST_F(MainViewTest, BadgesAndDestinationTextsFollowTheAction) {
    auto ai = [](const char* label, std::vector<std::string> destinations,
                 std::string destination = "chatgpt-app") {
        PresetData preset;
        preset.id = preset.label = label;
        preset.destinations = std::move(destinations);
        preset.destination = std::move(destination);
        return preset;
    };
    PresetData create = ai("create", {"claude-app"});
    create.createFile = true;
    create.appName = "Editor";
    PresetData file = ai("file", {});
    file.filePath = "/tmp/notes.txt";
    struct Case {
        PresetData preset;
        const char* badge;
        const char* destination;  // none: no destination text
    };
    const Case cases[] = {
        {ai("two", {"chatgpt-app", "claude-app"}), "index.badgeAI", "index.badgeMultipleAI"},
        {ai("empty list", {}, "terminal"), "index.badgeAI", "index.destTerminal"},
        {ai("web", {"gemini"}), "index.badgeAI", "index.destGeminiWeb"},
        {ai("legacy", {"focused-field"}), "index.badgeAI", nullptr},
        {create, "index.badgeCreate", nullptr},
        {file, "index.badgeFile", nullptr},
    };
    std::vector<PresetItem> items;
    for (const Case& c : cases) {
        items.push_back({c.preset});
    }
    app->state().setPresets(items);
    for (const Case& c : cases) {
        QPushButton* button = named<QPushButton>(view(), QString::fromStdString(c.preset.label));
        ASSERT_TRUE(button) << c.preset.label;
        EXPECT_EQ(shownText(button, "badge"), text(c.badge)) << c.preset.label;
        EXPECT_EQ(shownText(button, "destination"), c.destination ? text(c.destination) : "")
            << c.preset.label;
    }
}

TEST_F(MainViewTest, TheStatusBoxClassifiesByTheLocaleKeywords) {
    struct Case {
        const char* lang;
        const char* messageKey;  // none: the empty message
        bool isError;
        StatusClass expected;
    };
    const Case cases[] = {
        {"en", nullptr, false, StatusClass::neutral},
        {"en", "status.sent", false, StatusClass::success},
        {"en", "status.sent", true, StatusClass::error},
        {"en", "status.noSelection", false, StatusClass::error},
        {"en", "status.sending", false, StatusClass::neutral},
        {"ja", "status.sent", false, StatusClass::success},
        {"ja", "status.timeout", false, StatusClass::error},
        {"ja", nullptr, true, StatusClass::error},
    };
    auto* box = view().findChild<StatusBox*>();
    for (const Case& c : cases) {
        app->i18n().loadLanguage(c.lang);
        const std::string message = c.messageKey ? app->i18n().text(c.messageKey) : "";
        app->state().setStatus(message, c.isError);
        settle();
        EXPECT_EQ(box->shownClass(), c.expected) << c.lang << " " << message;
        EXPECT_EQ(box->shownText(),
                  c.messageKey ? QString::fromStdString(message) : text("status.standby"));
    }
}

}  // namespace
}  // namespace orvex
