#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/ui/application_shell.h"
#include "app/ui/windows/help_window.h"
#include "app/ui/windows/settings_dialogs.h"
#include "app/ui/windows/tutorial_overlay.h"
#include "base/manual_main_queue.h"
#include "base/task_runner.h"
#include "testing/source_tree.h"
#include "testing/temp_dir.h"

namespace orvex {
namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "windows_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        new QApplication(argc, argv);  // kept to the end of the run
    }
}

template <class T>
T* named(QWidget* root, const QString& name) {
    for (T* widget : root->findChildren<T*>()) {
        if (widget->accessibleName() == name) {
            return widget;
        }
    }
    ADD_FAILURE() << "no control named " << name.toStdString();
    return nullptr;
}

// Texts of their own, so the search does not hang on the shipped help. Chapter 5 stands
// after a gap and must never show.
class HelpAndTutorialTest : public ::testing::Test {
  protected:
    HelpAndTutorialTest() {
        ensureApplication();
        testing::writeText(temp / "en.json", R"({"help": {"title": "Help",
            "searchPlaceholder": "Search", "noResult": "None for «${query}».",
            "backToToc": "Contents", "ch1Title": "Getting Started", "ch1Body": "Install it.",
            "ch2Title": "Shortcuts", "ch2Body": "Press Alt+D anywhere.",
            "ch3Title": "Destinations", "ch3Body": "Claude, Gemini and more.",
            "ch5Title": "After a gap"}, "tutorial": {"back": "Back", "skip": "Skip",
            "next": "Next", "done": "Done"}})");
        testing::writeText(
            temp / "ja.json",
            R"({"help": {"title": "ヘルプ", "searchPlaceholder": "検索", "ch1Title": "一"},
                "menu": {"openHelp": "Orvex ヘルプ"}})");
        i18n = std::make_unique<LocalizationManager>(
            settings,
            LocalizationOptions{temp.path(), [] { return std::vector<std::string>{"en"}; }, {}});
    }

    testing::TempDir temp;
    SettingsManager settings{temp / "settings.json"};
    std::unique_ptr<LocalizationManager> i18n;
    VirtualClock clock;
    ManualMainQueue queue{clock};
    NotificationCenter notifications{queue};
};

TEST_F(HelpAndTutorialTest, SearchFiltersByTitleAndTextIgnoringCaseAndSaysWhenNothingMatches) {
    HelpWindow help(*i18n);
    const struct {
        const char* query;
        std::vector<int> listed;
    } cases[] = {{"", {1, 2, 3}}, {"SHORT", {2}}, {"alt+d", {2}}, {"  claude ", {3}},
                 {"in", {1, 3}},  {"gap", {}},    {" zzz", {}}};
    for (const auto& c : cases) {
        named<QLineEdit>(&help, "Search")->setText(c.query);
        EXPECT_EQ(help.listedChapters(), c.listed) << c.query;
        auto* noResult = help.findChild<QLabel*>("helpNoResult");
        EXPECT_EQ(noResult->isHidden(), !c.listed.empty()) << c.query;
        EXPECT_EQ(noResult->text(),
                  c.listed.empty() ? "None for «" + QString(c.query).trimmed() + "»." : QString());
    }
}

TEST_F(HelpAndTutorialTest, ContentsOpenAChapterTheButtonLeadsBackAndTextsFollowTheLanguage) {
    QPointer<HelpWindow> help = new HelpWindow(*i18n);
    QSignalSpy closed(help.data(), &HelpWindow::closed);
    help->show();
    QTest::mouseClick(named<QPushButton>(help, "Shortcuts"), Qt::LeftButton);
    EXPECT_EQ(help->currentChapter(), 2);
    EXPECT_EQ(help->findChild<QLabel*>("helpChapterBody")->text(), "Press Alt+D anywhere.");
    QTest::mouseClick(named<QPushButton>(help, "Contents"), Qt::LeftButton);
    EXPECT_EQ(help->currentChapter(), 0);

    help->openChapter(1);
    i18n->loadLanguage("ja");
    QCoreApplication::processEvents();
    EXPECT_EQ(help->windowTitle(), "Orvex ヘルプ");
    EXPECT_EQ(help->findChild<QLabel*>("helpChapterTitle")->text(), "一");
    EXPECT_EQ(help->listedChapters(), std::vector<int>{1});
    QTest::keyClicks(named<QLineEdit>(help, "検索"), "x");
    EXPECT_EQ(help->currentChapter(), 0) << "a search shows its results";

    help->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(help.isNull()) << "the owner makes a new one on demand";
}

TEST_F(HelpAndTutorialTest, TutorialKeysAndButtonsAndEveryWayOutPostsCompletionOnce) {
    int completions = 0;
    notifications.addObserver(notifications::tutorialCompleted, [&](auto&) { ++completions; });
    QWidget window;
    TutorialOverlay tutorial(*i18n, notifications, &window);
    window.show();
    auto* next = tutorial.findChild<QPushButton*>("tutorialNext");
    auto* skip = named<QPushButton>(&tutorial, "Skip");
    const auto done = [&] {
        // The keys work wherever the focus is on the card; Return on Skip still goes on.
        const std::tuple<QWidget*, Qt::Key, int> presses[] = {{&tutorial, Qt::Key_Left, 1},
                                                              {next, Qt::Key_Right, 2},
                                                              {skip, Qt::Key_Return, 3},
                                                              {&tutorial, Qt::Key_Enter, 4},
                                                              {next, Qt::Key_Left, 3}};
        for (const auto& [target, key, step] : presses) {
            QTest::keyClick(target, key);
            EXPECT_EQ(tutorial.step(), step) << key;
        }
        while (tutorial.step() < TutorialOverlay::kSteps) {
            QTest::mouseClick(next, Qt::LeftButton);
        }
        EXPECT_EQ(next->text(), "Done");
        QTest::mouseClick(named<QPushButton>(&tutorial, "Done"), Qt::LeftButton);
    };
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"escape", [&] { QTest::keyClick(&tutorial, Qt::Key_Escape); }},
        {"skip", [&] { QTest::mouseClick(skip, Qt::LeftButton); }},
        {"done", done}};
    for (const auto& [way, end] : ways) {
        completions = 0;
        tutorial.start();
        EXPECT_TRUE(tutorial.isVisible() && tutorial.step() == 1) << way;
        EXPECT_FALSE(named<QPushButton>(&tutorial, "Back")->isEnabled()) << way;
        end();
        tutorial.skip();
        tutorial.next();
        queue.runUntilIdle();
        EXPECT_FALSE(tutorial.isVisible()) << way;
        EXPECT_EQ(completions, 1) << way;
    }
    window.resize(900, 700);
    EXPECT_EQ(tutorial.geometry(), window.rect()) << "follows the window";
}

PresetItem preset(const std::string& id) {
    PresetData data;
    data.id = id;
    return {data};
}

std::vector<std::string> ids(const std::vector<PresetItem>& items) {
    std::vector<std::string> out;
    for (const PresetItem& item : items) {
        out.push_back(item.id());
    }
    return out;
}

// The real store on a private directory holding one preset of the user's, a finished
// tutorial and language "en"; the test answers the questions and records them.
class SettingsDialogsTest : public ::testing::Test {
  protected:
    SettingsDialogsTest() {
        ensureApplication();
        std::filesystem::create_directories(paths.orvexDirectory);
        SettingsManager(paths.settingsFile()).save(AppSettings{{preset("mine")}, true, "en"});
        const auto locales = testing::sourceDir() / "app/i18n/resources/locales";
        app = std::make_unique<ApplicationShell>(
            ShellEnvironment{queue, clock, tasks, paths, locales, nullptr, std::nullopt});
        app->start();
        dialogs = std::make_unique<SettingsDialogs>(app->state(), app->i18n(), nullptr,
                                                    [this] { ++rebuilds; });
        dialogs->questions = {[this](const QString&, const QString& name) {
                                  proposedName = name;
                                  return savePath;
                              },
                              [this](const QString&) { return openPath; },
                              [this](const Confirmation& question) {
                                  asked.push_back(question);
                                  return answer;
                              },
                              [this](const QString& message, const QString& detail) {
                                  warnings.push_back(message + " / " + detail);
                              }};
    }
    QString text(const char* key) { return QString::fromStdString(app->i18n().text(key)); }
    void expectPresets(const std::vector<std::string>& expected) {
        EXPECT_EQ(ids(app->state().presets()), expected);
        EXPECT_EQ(ids(app->settings().load().presets), expected);
    }

    testing::TempDir temp;
    AppPaths paths{temp / "orvex"};
    VirtualClock clock;
    ManualMainQueue queue{clock};
    ManualTaskRunner tasks;
    std::unique_ptr<ApplicationShell> app;
    int rebuilds = 0;
    std::unique_ptr<SettingsDialogs> dialogs;
    std::optional<std::filesystem::path> savePath, openPath;
    bool answer = false;
    QString proposedName;
    std::vector<Confirmation> asked;
    std::vector<QString> warnings;
};

TEST_F(SettingsDialogsTest, ExportWritesTheSettingsFileUnderATimeStampedNameOrWarns) {
    dialogs->now = [] { return QDateTime(QDate(2024, 3, 5), QTime(19, 8, 9)); };
    savePath = temp / "export.json";
    app->state().setPresets({preset("unsaved")});
    dialogs->exportSettings();
    EXPECT_EQ(proposedName, "orvex-settings-240305.190809.json");
    EXPECT_EQ(testing::readText(*savePath), encodeAppSettingsText(app->settings().load()));
    EXPECT_TRUE(warnings.empty());

    savePath = temp / "no-such-dir" / "export.json";
    dialogs->exportSettings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(warnings[0].startsWith(text("dialog.exportFailed") + " / "));
    EXPECT_GT(warnings[0].size(), text("dialog.exportFailed").size() + 3) << "says why";
}

TEST_F(SettingsDialogsTest, ImportReplacesThePresetsOnlyForAGoodFileAndAYes) {
    testing::writeText(temp / "good.json",
                       encodeAppSettingsText(AppSettings{{preset("a"), preset("b")}, {}, {}}));
    testing::writeText(temp / "bad.json", "{\"presets\": 3");
    const QString invalid =
        text("dialog.importFailed") + " / " + text("dialog.importInvalidFormat");
    const struct {
        const char* file;
        bool answer;
        std::vector<std::string> presets;
        std::size_t questions;
        std::vector<QString> warnings;
    } cases[] = {{"bad.json", true, {"mine"}, 0, {invalid}},
                 {"missing.json", true, {"mine"}, 0, {invalid}},
                 {"good.json", false, {"mine"}, 1, {}},
                 {"good.json", true, {"a", "b"}, 1, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.answer ? " yes" : " no"));
        openPath = temp / c.file;
        answer = c.answer;
        asked.clear();
        warnings.clear();
        rebuilds = 0;
        dialogs->importSettings();
        expectPresets(c.presets);
        EXPECT_EQ(rebuilds, c.presets[0] == "a" ? 1 : 0);
        ASSERT_EQ(asked.size(), c.questions);
        if (!asked.empty()) {
            EXPECT_EQ(asked[0].proceed, text("dialog.importOverwriteBtn"));
            EXPECT_FALSE(asked[0].returnCancels);
        }
        EXPECT_EQ(warnings, c.warnings);
    }
    EXPECT_FALSE(app->settings().load().language) << "the file's own absent language";
}

TEST_F(SettingsDialogsTest, ResetRestoresTheFactoryPresetsOnlyOnYesKeepingLanguageAndTutorial) {
    for (bool yes : {false, true}) {
        answer = yes;
        dialogs->resetPresets();
        EXPECT_TRUE(asked.back().returnCancels);
        EXPECT_EQ(asked.back().proceed, text("dialog.resetBtn"));
        expectPresets(yes ? std::vector<std::string>{"1", "2", "3", "4"}
                          : std::vector<std::string>{"mine"});
        EXPECT_EQ(rebuilds, yes ? 1 : 0);
    }
    EXPECT_EQ(app->settings().load().language, "en");
    EXPECT_EQ(app->settings().load().tutorialCompleted, true);
}

TEST_F(SettingsDialogsTest, ReturnInTheResetQuestionCancelsWhereverTheFocusIs) {
    const struct {
        bool returnCancels, focusOnProceed, proceeds;
    } cases[] = {{true, false, false}, {true, true, false}, {false, false, true}};
    for (const auto& c : cases) {
        ConfirmationBox built =
            buildConfirmationBox(nullptr, {"m", "d", "Go", "Stop", c.returnCancels});
        std::unique_ptr<QMessageBox> box(built.box);
        box->show();
        QWidget* target = c.focusOnProceed ? static_cast<QWidget*>(built.proceed) : box.get();
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_EQ(box->clickedButton(), c.proceeds ? built.proceed : built.cancel)
            << c.returnCancels << c.focusOnProceed;
    }
}

}  // namespace
}  // namespace orvex
