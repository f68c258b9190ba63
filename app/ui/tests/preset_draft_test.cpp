#include "app/ui/preset_draft.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

PresetItem preset(const std::string& id, std::optional<std::string> folderId = std::nullopt,
                  const std::string& shortcut = "") {
    PresetData data;
    data.id = data.label = id;
    data.folderId = std::move(folderId);
    data.shortcut = shortcut;
    data.destinations = {"chatgpt-app"};
    return {data};
}

PresetItem folder(const std::string& id) {
    return {FolderItem{"folder", id, id, true}};
}

TEST(PresetDraftTest, EachActionWritesTheFieldsItIsDerivedFromAndTheEditorsOthersStay) {
    PresetData stored = *preset("p").preset();
    stored.appName = "Firefox";
    stored.filePath = "/tmp/notes.txt";
    stored.createFile = true;
    stored.fixedPrompt = "Translate:";
    const struct {
        ActionType action;
        const char* appName;
        const char* filePath;
    } cases[] = {{ActionType::aiSend, "", ""},
                 {ActionType::activateApp, "Firefox", "/tmp/notes.txt"},
                 {ActionType::openFile, "", "/tmp/notes.txt"},
                 {ActionType::createFile, "Firefox", "/tmp/notes.txt"}};
    for (const auto& c : cases) {
        PresetDraft draft = draftOf(stored);
        EXPECT_EQ(draft.action, ActionType::createFile);
        draft.action = c.action;
        const PresetData saved = presetOf(draft);
        EXPECT_EQ(actionType(saved), c.action) << toString(c.action);
        EXPECT_EQ(saved.appName, c.appName) << toString(c.action);
        EXPECT_EQ(saved.filePath, c.filePath) << toString(c.action);
        EXPECT_EQ(saved.fixedPrompt, "Translate:");
        EXPECT_EQ(saved.id, "p");
    }
}

TEST(PresetDraftTest, DestinationsKeepTheOrderChosenAndTheFirstIsThePrimary) {
    PresetDraft draft = newDraft();
    draft.destinations = withDestination(draft.destinations, "claude-app", true);
    draft.destinations = withDestination(draft.destinations, "chatgpt-app", false);
    draft.destinations = withDestination(draft.destinations, "terminal", true);
    EXPECT_EQ(draft.destinations, (std::vector<std::string>{"claude-app", "terminal"}));
    EXPECT_EQ(presetOf(draft).destination, "claude-app");
}

TEST(PresetDraftTest, ADraftWithoutWhatItsActionNeedsIsRefused) {
    PresetDraft draft = newDraft();
    EXPECT_EQ(saveRefusal(draft), std::nullopt);
    draft.destinations.clear();
    EXPECT_EQ(saveRefusal(draft), "dialog.noDestination");
    draft.action = ActionType::activateApp;
    EXPECT_EQ(saveRefusal(draft), "dialog.noApplication");
    draft.action = ActionType::openFile;
    EXPECT_EQ(saveRefusal(draft), "dialog.noFile");
    draft.action = ActionType::createFile;
    EXPECT_EQ(saveRefusal(draft), std::nullopt);
}

TEST(PresetDraftTest, SavingReplacesInPlaceOrAppendsToTheFolderItWasMadeIn) {
    const std::vector<PresetItem> items{folder("F"), preset("a", "F"), preset("b")};
    auto ids = [](const std::vector<PresetItem>& list) {
        std::string out;
        for (const PresetItem& item : list) {
            out += item.id() + (item.isPreset() && item.preset()->folderId ? "@F " : " ");
        }
        return out;
    };

    PresetDraft edited = draftOf(*items[1].preset());
    edited.label = "renamed";
    const auto saved = withDraftSaved(items, edited);
    EXPECT_EQ(ids(saved), "F a@F b ");
    EXPECT_EQ(saved[1].preset()->label, "renamed");

    PresetDraft inFolder = newDraft("F");
    EXPECT_EQ(ids(withDraftSaved(items, inFolder)), "F a@F " + inFolder.original.id + "@F b ");
    PresetDraft atTop = newDraft();
    EXPECT_EQ(ids(withDraftSaved(items, atTop)), "F a@F b " + atTop.original.id + " ");
    // The folder went while the preset was being made.
    EXPECT_EQ(ids(withDraftSaved({preset("b")}, inFolder)), "b " + inFolder.original.id + " ");
}

TEST(PresetDraftTest, AShortcutIsTakenWhenAnotherPresetGrabsTheSameKeysHere) {
    const std::vector<PresetItem> items{preset("a", std::nullopt, "CommandOrControl+Shift+2"),
                                        preset("b", std::nullopt, "Alt+D")};
    EXPECT_EQ(shortcutTakenBy(items, "b", "Control+Shift+2"), "a");
    EXPECT_EQ(shortcutTakenBy(items, "a", "CommandOrControl+Shift+2"), std::nullopt);
    EXPECT_EQ(shortcutTakenBy(items, "a", "Alt+Shift+D"), std::nullopt);
    EXPECT_EQ(shortcutTakenBy(items, "a", ""), std::nullopt);
}

}  // namespace
}  // namespace orvex
