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

}  // namespace
}  // namespace orvex::commands_test
