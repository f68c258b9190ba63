#include "app/ui/preset_groups.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

PresetItem folder(const std::string& id, bool open = true) {
    return {FolderItem{"folder", id, "Folder " + id, open}};
}

PresetItem preset(const std::string& id, std::optional<std::string> folderId = std::nullopt) {
    PresetData data;
    data.id = id;
    data.label = "Preset " + id;
    data.folderId = std::move(folderId);
    return {data};
}

std::vector<std::vector<std::string>> shape(const std::vector<PresetGroup>& groups) {
    std::vector<std::vector<std::string>> out;
    for (const PresetGroup& group : groups) {
        std::vector<std::string> ids{group.folder ? "F:" + group.folder->id : "-"};
        for (const PresetData& p : group.presets) {
            ids.push_back(p.id);
        }
        out.push_back(ids);
    }
    return out;
}

TEST(PresetGroupsTest, AFolderTakesOnlyTheRunBehindIt) {
    using Shape = std::vector<std::vector<std::string>>;
    struct Case {
        const char* name;
        std::vector<PresetItem> items;
        Shape groups;
    };
    const Case cases[] = {
        {"a preset of F after a top-level one stays at the top level",
         {folder("F"), preset("1", "F"), preset("2"), preset("3", "F")},
         {{"F:F", "1"}, {"-", "2"}, {"-", "3"}}},
        {"a folder ends its run",
         {folder("F"), folder("G"), preset("1", "F")},
         {{"F:F"}, {"F:G"}, {"-", "1"}}},
        {"another folder's preset ends the run",
         {folder("F"), preset("1", "F"), preset("2", "G"), preset("3", "F")},
         {{"F:F", "1"}, {"-", "2"}, {"-", "3"}}},
        {"a closed folder still takes its presets",
         {folder("F", false), preset("1", "F")},
         {{"F:F", "1"}}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shape(groupPresets(c.items)), c.groups) << c.name;
    }
}

TEST(PresetGroupsTest, TogglingChangesOnlyTheFirstFolderOfThatId) {
    std::vector<PresetItem> items{preset("1"), folder("F"), folder("F")};
    auto toggled = withFolderToggled(items, "F");
    ASSERT_TRUE(toggled);
    EXPECT_FALSE((*toggled)[1].folder()->open);
    EXPECT_TRUE((*toggled)[2].folder()->open);
    EXPECT_EQ((*toggled)[0], items[0]);
    EXPECT_FALSE(withFolderToggled(items, "1")) << "a preset is not a folder";
    EXPECT_FALSE(withFolderToggled(items, "nope"));
}

TEST(PresetGroupsTest, BadgesAndDestinationTextsFollowTheAction) {
    struct Case {
        const char* name;
        std::function<void(PresetData&)> edit;
        std::string badge;
        std::optional<std::string> destination;
    };
    const Case cases[] = {
        {"two destinations",
         [](PresetData& p) {
             p.destinations = {"chatgpt-app", "claude-app"};
         },
         "index.badgeAI", "index.badgeMultipleAI"},
        {"no list: the single destination",
         [](PresetData& p) {
             p.destinations = {};
             p.destination = "terminal";
         },
         "index.badgeAI", "index.destTerminal"},
        {"gemini is the web page", [](PresetData& p) { p.destinations = {"gemini"}; },
         "index.badgeAI", "index.destGeminiWeb"},
        {"a legacy identifier is not migrated for display",
         [](PresetData& p) { p.destinations = {"focused-field"}; }, "index.badgeAI", std::nullopt},
        {"create-file wins over the app",
         [](PresetData& p) {
             p.createFile = true;
             p.appName = "Notes";
         },
         "index.badgeCreate", std::nullopt},
        {"an app", [](PresetData& p) { p.appName = "Notes"; }, "index.badgeApp", std::nullopt},
        {"a file", [](PresetData& p) { p.filePath = "/tmp/a.txt"; }, "index.badgeFile",
         std::nullopt},
    };
    for (const Case& c : cases) {
        PresetData p;
        c.edit(p);
        EXPECT_EQ(badgeKey(p), c.badge) << c.name;
        EXPECT_EQ(destinationTextKey(p), c.destination) << c.name;
    }
}

}  // namespace
}  // namespace orvex
