#include <gtest/gtest.h>

#include <map>

#include "app/commands/organize_into_folders.h"
#include "app/commands/tests/command_fixture.h"

namespace orvex::commands_test {
namespace {

const GroupNames kNames{"None", "AI", "Apps", "Files", "New Files"};

// A preset whose fields make its action type `kind`.
PresetData withAction(PresetData p, const std::string& kind) {
    p.appName = kind == "activate-app" ? "Mail" : "";
    p.filePath = kind == "open-file" ? "/tmp/a.txt" : "";
    p.createFile = kind == "create-file";
    return p;
}

// Each item as text: a folder as "[label]", "+" when open; a preset as "id in label".
std::vector<std::string> shape(const std::vector<PresetItem>& items) {
    std::map<std::string, std::string> labels;
    std::vector<std::string> out;
    for (const PresetItem& item : items) {
        if (const FolderItem* f = item.folder()) {
            labels[f->id] = f->label;
            out.push_back("[" + f->label + (f->open ? "+]" : "]"));
        } else {
            out.push_back(item.preset()->id + " in " +
                          labels[item.preset()->folderId.value_or("")]);
        }
    }
    return out;
}

TEST(OrganizeIntoFolders, GroupsByShortcutThenActionTypeInFreshFolders) {
    const std::vector<PresetItem> items = {
        PresetItem{folder("X", "Old")},
        PresetItem{withAction(preset("P1", "one", "Alt+1", "X"), "ai")},
        PresetItem{withAction(preset("P2", "two", ""), "open-file")},
        PresetItem{withAction(preset("P3", "three", "Alt+3"), "activate-app")},
        PresetItem{withAction(preset("P4", "four", " "), "ai")},  // spaces are a shortcut
        PresetItem{withAction(preset("P5", "five", "A"), "create-file")},
    };
    const std::vector<PresetItem> organized = organizedIntoFolders(items, kNames);
    ASSERT_EQ(shape(organized),
              (std::vector<std::string>{"[None+]", "P2 in None", "[AI]", "P1 in AI", "P4 in AI",
                                        "[Apps]", "P3 in Apps", "[New Files]", "P5 in New Files"}));
    // Every other field survives; the folders are new ones each time.
    EXPECT_EQ(organized[6].preset()->appName, "Mail");
    EXPECT_EQ(organized[6].preset()->label, "three");
    const auto again = organizedIntoFolders(organized, kNames);
    EXPECT_EQ(shape(again), shape(organized));
    EXPECT_NE(again[0].folder()->id, organized[0].folder()->id);
    EXPECT_NE(organized[2].folder()->id, "X");
    EXPECT_TRUE(organizedIntoFolders({PresetItem{folder("a", "A")}}, kNames).empty());
}

}  // namespace
}  // namespace orvex::commands_test
