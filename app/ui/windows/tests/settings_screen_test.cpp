#include "app/ui/windows/settings_screen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include "app/ui/windows/preset_list_model.h"
#include "app/ui/windows/settings_container.h"
#include "app/ui/windows/shortcut_capture_field.h"
#include "windows_test_support.h"

namespace orvex {
namespace {

class SettingsScreenTest : public WindowsTest {
  protected:
    SettingsScreenTest()
        : WindowsTest(R"({"language": "en", "presets": [
            {"type": "folder", "id": "F", "label": "Mail", "open": true},
            {"id": "a", "label": "A", "folderId": "F", "shortcut": "Alt+D"},
            {"id": "b", "label": "B", "folderId": "F"},
            {"id": "c", "label": "C"}, {"id": "d", "label": "D"}]})") {
        SettingsScreenHooks hooks;
        hooks.mainQueue = &queue;
        hooks.shortcutText = [](const std::string& s) { return "<" + s + ">"; };
        hooks.shortcutRegistered = [](const std::string& id) { return id != "a"; };
        hooks.questions.confirm = [this](const Confirmation& question) {
            asked.push_back(question);
            return answer;
        };
        hooks.questions.warn = [this](const QString& message, const QString&) {
            warnings << message;
        };
        page = std::make_unique<SettingsContainer>(app->state(), app->i18n(), app->notifications(),
                                                   std::move(hooks));
        page->show();
    }
    SettingsScreen& screen() { return *page->screen(); }
    // The list as words: "[F" a folder, "a>F" a preset naming F; and the same in the file.
    std::string order() {
        std::string out;
        for (const PresetItem& item : app->settings().load().presets) {
            out += out.empty() ? "" : " ";
            out +=
                item.isFolder()
                    ? "[" + item.id()
                    : item.id() + (item.preset()->folderId ? ">" + *item.preset()->folderId : "");
        }
        EXPECT_EQ(app->settings().load().presets, app->state().presets()) << "saved as shown";
        return out;
    }
    bool drop(const std::string& id, const std::string& parentId, int row) {
        PresetListModel& model = *screen().model();
        std::unique_ptr<QMimeData> data(model.mimeData({model.indexOfId(id)}));
        return model.dropMimeData(data.get(), Qt::MoveAction, row, 0, model.indexOfId(parentId));
    }
    PresetData stored(const std::string& id) {
        for (const PresetData& preset :
             app->settings().load().presets | std::views::transform([](const PresetItem& i) {
                 return i.preset() ? *i.preset() : PresetData{};
             })) {
            if (preset.id == id) {
                return preset;
            }
        }
        return {};
    }
    ShortcutCaptureField* field() { return page->findChild<ShortcutCaptureField*>(); }

    std::unique_ptr<SettingsContainer> page;
    std::vector<Confirmation> asked;
    bool answer = true;
    QStringList warnings;
};

TEST_F(SettingsScreenTest, DropsMovePresetsAndFoldersAndEveryMoveIsSaved) {
    const struct {
        const char* dragged;
        const char* parent;  // "" for the top level
        int row;             // -1: onto the parent, at its end
        const char* after;
    } cases[] = {
        {"d", "", 1, "[F a>F b>F d c"},     // reorder at the top level
        {"c", "F", 0, "[F c>F a>F b>F d"},  // into a folder, first
        {"b", "", 0, "b [F c>F a>F d"},     // out of the folder, to the top
        {"F", "", 0, "[F c>F a>F b d"},     // the folder with its presets
        {"F", "", -1, "b d [F c>F a>F"},    // ... to the end
        {"F", "F", -1, "unchanged"},        // never into a folder
    };
    for (const auto& c : cases) {
        const std::string before = order();
        const bool moved = drop(c.dragged, c.parent, c.row);
        EXPECT_EQ(moved ? order() : "unchanged", c.after) << c.dragged << " to " << c.row;
        EXPECT_EQ(moved, order() != before);
    }
}

TEST_F(SettingsScreenTest, FoldersAreAddedRenamedAndDeletedKeepingTheirPresets) {
    named<QPushButton>(*page, "Add Folder")->click();
    named<QPushButton>(*page, "Add Folder")->click();
    const auto folders = app->state().presets();
    EXPECT_EQ(folders[0].folder()->label, "New Folder 2");
    EXPECT_EQ(folders[1].folder()->label, "New Folder");
    PresetListModel& model = *screen().model();
    ASSERT_TRUE(model.setData(model.indexOfId("F"), "Work", Qt::EditRole));
    EXPECT_EQ(screen().model()->indexOfId("F").data().toString(), "Work");

    screen().select("F");
    answer = false;
    QTest::keyClick(screen().list(), Qt::Key_Delete);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].message.toStdString(),
              app->i18n().text("settings.deleteGroupConfirm", {{"name", "Work"}}));
    EXPECT_EQ(asked[0].proceed, "Delete");
    EXPECT_EQ(asked[0].cancel, "Cancel");
    EXPECT_TRUE(asked[0].returnCancels);
    answer = true;
    QTest::keyClick(screen().list(), Qt::Key_Delete);
    EXPECT_EQ(order(), "[" + folders[0].id() + " [" + folders[1].id() + " a b c d");

    named<QPushButton>(*page, "Remove All Folders")->click();
    EXPECT_EQ(order(), "a b c d");
    screen().select("d");
    QTest::keyClick(screen().list(), Qt::Key_Delete);
    EXPECT_EQ(asked.back().message, "Delete the preset “D”?");
    EXPECT_EQ(order(), "a b c");
}

TEST_F(SettingsScreenTest, KeysMoveTheSelectedPresetAndEnterEditsIt) {
    screen().select("c");
    QTest::keyClick(screen().list(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(order(), "[F a>F b>F c>F d");
    EXPECT_EQ(screen().selectedId(), "c");
    QTest::keyClick(screen().list(), Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(screen().list(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(order(), "[F a>F b>F d c");
    QTest::keyClick(screen().list(), Qt::Key_Return);
    ASSERT_TRUE(screen().editing());
    EXPECT_EQ(screen().editor()->draft().original.id, "c");
}

TEST_F(SettingsScreenTest, TheEditorRefusesAnAIPresetWithoutDestinationAndAsksBeforeDroppingEdits) {
    screen().select("F");
    named<QPushButton>(*page, "Add Preset")->click();
    named<QLineEdit>(*page, "Name")->setText("Fresh");
    named<QCheckBox>(*page, "ChatGPT App")->click();
    named<QPushButton>(*page, "Save")->click();
    EXPECT_EQ(warnings, QStringList{text("dialog.noDestination")});
    EXPECT_TRUE(screen().editing());
    EXPECT_EQ(order(), "[F a>F b>F c d");

    answer = false;
    named<QPushButton>(*page, "Back")->click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].proceed, "Discard");
    EXPECT_TRUE(screen().editing()) << "kept after No";

    named<QCheckBox>(*page, "Claude App")->click();
    named<QPushButton>(*page, "Save")->click();
    EXPECT_FALSE(screen().editing());
    const auto saved = app->state().presets();
    ASSERT_EQ(saved.size(), 6u);
    EXPECT_EQ(saved[3].preset()->label, "Fresh") << "made in the selected folder";
    EXPECT_EQ(saved[3].preset()->folderId, "F");
    EXPECT_EQ(saved[3].preset()->destinations, std::vector<std::string>{"claude-app"});
}

TEST_F(SettingsScreenTest, EachActionWritesWhatItsTypeIsDerivedFrom) {
    // One preset through every action: what an earlier action wrote and the next one does not
    // read may stay, but never where it would change the derived type.
    const struct {
        int action;
        const char* field;
        const char* value;
        ActionType type;
        const char* appFileExt;
    } cases[] = {{1, "Application", "Firefox", ActionType::activateApp, "Firefox||"},
                 {2, "File to Open", "/tmp/n.txt", ActionType::openFile, "|/tmp/n.txt|"},
                 {3, "Extension", "md", ActionType::createFile, "|/tmp/n.txt|md"},
                 {0, "Name", "Back to AI", ActionType::aiSend, "||md"}};
    for (const auto& c : cases) {
        screen().editPreset("c");
        named<QComboBox>(*page, "Action")->setCurrentIndex(c.action);
        named<QLineEdit>(*page, c.field)->setText(c.value);
        named<QPushButton>(*page, "Save")->click();
        const PresetData saved = stored("c");
        EXPECT_EQ(actionType(saved), c.type) << c.field;
        EXPECT_EQ(saved.appName + "|" + saved.filePath + "|" + saved.fileExt, c.appFileExt);
    }
}

TEST_F(SettingsScreenTest,
       TheFieldRecordsCombinationsWarnsOfUnnamedKeysAndSavesOnlyExistingPresets) {
    named<QPushButton>(*page, "Add Preset")->click();
    ASSERT_TRUE(field());
    QTest::keyClick(field(), Qt::Key_2, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(field()->text(), "<CommandOrControl+Shift+2>");
    QTest::keyClick(field(), Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(field(), Qt::Key_A);
    EXPECT_EQ(screen().editor()->draft().shortcut, "CommandOrControl+Shift+2");
    auto* notice = page->findChild<QLabel*>("fieldWarning");
    EXPECT_FALSE(notice->isVisibleTo(page.get()));
    QTest::keyClick(field(), Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(notice->text(), "Also used by “A”: only one of them can work.");
    queue.advance(std::chrono::seconds(1));
    EXPECT_EQ(order(), "[F a>F b>F c d") << "a new preset saves nothing before the editor";

    screen().editor()->confirmLeave();
    screen().editPreset("a");
    EXPECT_EQ(notice->text(), text("settings.shortcutRefused")) << "Alt+D did not register";
    const auto keypad2 = [this] {
        QTest::keyClick(field(), Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_EQ(field()->text(), text("settings.shortcutUnsupportedKey"));
    };
    keypad2();
    queue.advance(std::chrono::milliseconds(2000));
    EXPECT_EQ(field()->text(), "<Alt+D>");
    keypad2();
    QFocusEvent focusOut(QEvent::FocusOut);
    QCoreApplication::sendEvent(field(), &focusOut);
    EXPECT_EQ(field()->text(), "<Alt+D>");
    keypad2();
    QTest::keyClick(field(), Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(field()->text(), "<Alt+3>");
    EXPECT_EQ(stored("a").shortcut, "Alt+D");
    queue.advance(std::chrono::milliseconds(600));
    EXPECT_EQ(stored("a").shortcut, "Alt+3") << "saved 0.6 s after the capture";
    settle();
    EXPECT_TRUE(notice->isVisibleTo(page.get()));
    EXPECT_EQ(notice->text(), text("settings.shortcutRefused")) << "the new keys did not register";
    EXPECT_FALSE(screen().editor()->hasUnsavedChanges());
}

TEST_F(SettingsScreenTest, EditPresetByIdOpensTheEditorOnThatPreset) {
    PresetData wanted;
    wanted.id = "b";
    app->notifications().post(notifications::editPresetById, wanted);
    settle();
    ASSERT_TRUE(screen().editing());
    EXPECT_EQ(named<QLineEdit>(*page, "Name")->text(), "B");
}

}  // namespace
}  // namespace orvex
