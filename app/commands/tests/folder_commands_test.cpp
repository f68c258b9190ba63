#include <gtest/gtest.h>

#include "app/commands/organize_into_folders.h"
#include "app/commands/tests/command_fixture.h"

namespace orvex::commands_test {
namespace {

const GroupNames kNames{"None", "AI", "Apps", "Files", "New Files"};

PresetData withAction(PresetData p, const std::string& kind) {
    if (kind == "activate-app") {
        p.appName = "Mail";
    } else if (kind == "open-file") {
        p.filePath = "/tmp/a.txt";
    } else if (kind == "create-file") {
        p.createFile = true;
    }
    return p;
}

TEST(OrganizeIntoFolders, GroupsByShortcutThenActionTypeWithFreshFolders) {
    const std::vector<PresetItem> items = {
        PresetItem{folder("X", "Old")},
        PresetItem{withAction(preset("P1", "one", "Alt+1", "X"), "ai")},
        PresetItem{withAction(preset("P2", "two", ""), "open-file")},
        PresetItem{withAction(preset("P3", "three", "Alt+3"), "activate-app")},
        PresetItem{withAction(preset("P4", "four", " "), "ai")},  // spaces are a shortcut
    };
    const std::vector<PresetItem> organized = organizedIntoFolders(items, kNames);

    ASSERT_EQ(organized.size(), 7u);
    const FolderItem* none = organized[0].folder();
    const FolderItem* ai = organized[2].folder();
    const FolderItem* apps = organized[5].folder();
    ASSERT_TRUE(none && ai && apps);
    EXPECT_EQ(none->label, "None");
    EXPECT_TRUE(none->open);
    EXPECT_EQ(ai->label, "AI");
    EXPECT_FALSE(ai->open);
    EXPECT_EQ(apps->label, "Apps");
    EXPECT_FALSE(apps->open);
    EXPECT_NE(none->id, "X");

    const auto expectMember = [&](std::size_t index, const char* id, const FolderItem* in) {
        const PresetData* p = organized[index].preset();
        ASSERT_TRUE(p) << index;
        EXPECT_EQ(p->id, id);
        EXPECT_EQ(p->folderId, in->id);
    };
    expectMember(1, "P2", none);
    expectMember(3, "P1", ai);
    expectMember(4, "P4", ai);
    expectMember(6, "P3", apps);
    // Every other field survives.
    EXPECT_EQ(organized[6].preset()->appName, "Mail");
    EXPECT_EQ(organized[6].preset()->label, "three");
}

TEST(OrganizeIntoFolders, OnlyFoldersGiveNothingAndRepeatsMakeNewIds) {
    EXPECT_TRUE(
        organizedIntoFolders({PresetItem{folder("a", "A")}, PresetItem{folder("b", "B")}}, kNames)
            .empty());

    const std::vector<PresetItem> items = {
        PresetItem{preset("p", "P", "")},
        PresetItem{withAction(preset("q", "Q", "A"), "create-file")}};
    const auto first = organizedIntoFolders(items, kNames);
    const auto second = organizedIntoFolders(first, kNames);
    ASSERT_EQ(first.size(), 4u);
    ASSERT_EQ(second.size(), 4u);
    EXPECT_EQ(second[2].folder()->label, "New Files");
    for (std::size_t i : {0u, 2u}) {
        EXPECT_NE(first[i].folder()->id, second[i].folder()->id);
        EXPECT_EQ(first[i].folder()->label, second[i].folder()->label);
    }
    EXPECT_EQ(second[3].preset()->folderId, second[2].folder()->id);
}

class FolderCommands : public CommandFixture {
  protected:
    void SetUp() override { startWithSampleList(); }
};

// The answers' texts are checked through orvex-cli (app/ui/e2e).
TEST_F(FolderCommands, CreateInsertsAnOpenFolderFirstAndRenameKeepsItsState) {
    EXPECT_EQ(messageOf(ask("folder.create")), "Folder created: New Folder");
    ask("folder.create", {{"name", ""}});  // given but empty: taken as it is
    const FolderItem* made = state->presets().front().folder();
    ASSERT_TRUE(made);
    EXPECT_EQ(made->label, "");
    EXPECT_TRUE(made->open);
    EXPECT_EQ(state->presets()[1].folder()->label, "New Folder");
    expectSaved();
    EXPECT_EQ(registrations.size(), 2u);

    state->setPresets({PresetItem{folder("f1", "Folder", false)}});
    ask("folder.rename", {{"id", "f1"}, {"name", " Mixed "}});
    EXPECT_EQ(state->presets().front().folder()->label, " Mixed ");
    EXPECT_FALSE(state->presets().front().folder()->open);
    expectSaved();
}

TEST_F(FolderCommands, DeleteMovesItsPresetsToTheTopLevelInPlace) {
    state->setPresets({PresetItem{preset("a", "A", "", "f1")}, PresetItem{folder("f1", "F")},
                       PresetItem{preset("b", "B", "", "f1")},
                       PresetItem{preset("c", "C", "", "g")}});
    ask("folder.delete", {{"id", "f1"}});
    ASSERT_EQ(state->presets().size(), 3u);
    EXPECT_EQ(state->presets()[0].preset()->id, "a");
    EXPECT_FALSE(state->presets()[0].preset()->folderId);
    EXPECT_EQ(state->presets()[1].preset()->id, "b");
    EXPECT_FALSE(state->presets()[1].preset()->folderId);
    EXPECT_EQ(state->presets()[2].preset()->folderId, "g");
    EXPECT_FALSE(ask("preset.list").data->presets->front().folderId);
    expectSaved();

    EXPECT_TRUE(ask("folder.delete", {{"id", "none"}}).success);
}

TEST_F(FolderCommands, OrganizeUsesTheLanguageInUseAndSaves) {
    ask("folder.organize");
    const auto& items = state->presets();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].folder()->label, "No Shortcut");
    EXPECT_EQ(items[1].preset()->id, "p2");
    EXPECT_EQ(items[2].folder()->label, "AI");
    EXPECT_EQ(items[3].preset()->id, "p1");
    expectSaved();
    EXPECT_EQ(registrations.size(), 1u);

    // The labels are stored text: a later language change leaves them as they are.
    ask("settings.language", {{"set", "ja"}});
    EXPECT_EQ(state->presets()[0].folder()->label, "No Shortcut");
    ask("folder.organize");
    EXPECT_EQ(state->presets()[0].folder()->label, "ショートカットなし");
}

}  // namespace
}  // namespace orvex::commands_test
