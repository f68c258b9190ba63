#include "app/ui/preset_list_edits.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orvex {
namespace {

// Lists written as words: "[A" a folder A, "p" a top-level preset, "p>A" a preset naming A.
PresetList list(const std::string& words) {
    PresetList items;
    std::istringstream in(words);
    for (std::string word; in >> word;) {
        if (word.front() == '[') {
            items.push_back({FolderItem{"folder", word.substr(1), word.substr(1), true}});
            continue;
        }
        PresetData preset;
        const auto arrow = word.find('>');
        preset.id = preset.label = word.substr(0, arrow);
        if (arrow != std::string::npos) {
            preset.folderId = word.substr(arrow + 1);
        }
        items.push_back({preset});
    }
    return items;
}

std::string words(const std::optional<PresetList>& items) {
    if (!items) {
        return "unchanged";
    }
    std::string out;
    for (const PresetItem& item : *items) {
        out += out.empty() ? "" : " ";
        if (const FolderItem* folder = item.folder()) {
            out += "[" + folder->id + (folder->label != folder->id ? "=" + folder->label : "");
        } else {
            out += item.id() + (item.preset()->folderId ? ">" + *item.preset()->folderId : "");
        }
    }
    return out;
}

using Edit = std::function<std::optional<PresetList>(const PresetList&)>;
const std::optional<std::string> none;

TEST(PresetListEditsTest, EachEditGivesTheListTheViewsThenDrawOrNothing) {
    const struct {
        const char* name;
        const char* before;
        Edit edit;
        const char* after;
    } cases[] = {
        {"reorder at top level", "a b c",
         [](auto& l) {
             return movePreset(l, "c", {none, "a"});
         },
         "c a b"},
        {"to the end", "a b c", [](auto& l) { return movePreset(l, "a", {}); }, "b c a"},
        {"into a folder's end", "a [F b>F c",
         [](auto& l) {
             return movePreset(l, "a", {"F", none});
         },
         "[F b>F a>F c"},
        {"into an empty folder", "[F [G a",
         [](auto& l) {
             return movePreset(l, "a", {"F", none});
         },
         "[F a>F [G"},
        {"before a member", "[F b>F c>F a",
         [](auto& l) {
             return movePreset(l, "a", {"F", "c"});
         },
         "[F b>F a>F c>F"},
        {"out of a folder before it", "[F b>F c>F",
         [](auto& l) {
             return movePreset(l, "c", {none, "F"});
         },
         "c [F b>F"},
        // Standing between a folder and its presets would cut the folder in two.
        {"never between a folder and its run", "[F b>F c>F a",
         [](auto& l) {
             return movePreset(l, "a", {none, "c"});
         },
         "unchanged"},
        {"a member is no place in another folder", "[F b>F [G c>G",
         [](auto& l) {
             return movePreset(l, "b", {"G", "b"});
         },
         "unchanged"},
        {"onto itself", "a b",
         [](auto& l) {
             return movePreset(l, "a", {none, "a"});
         },
         "unchanged"},
        {"a folder with its presets", "a [F b>F c>F d",
         [](auto& l) { return moveFolder(l, "F", "a"); }, "[F b>F c>F a d"},
        {"a folder to the end", "[F b>F a", [](auto& l) { return moveFolder(l, "F", none); },
         "a [F b>F"},
        {"a folder into itself", "[F b>F a", [](auto& l) { return moveFolder(l, "F", "b"); },
         "unchanged"},
        {"out of a folder behind it", "[F b>F c>F a",
         [](auto& l) { return moveOutOfFolder(l, "b"); }, "[F c>F b a"},
        {"a stray member only loses its folder", "[F a b>F",
         [](auto& l) { return moveOutOfFolder(l, "b"); }, "[F a b"},
        {"step up inside", "[F b>F c>F", [](auto& l) { return movePresetStep(l, "c", -1); },
         "[F c>F b>F"},
        {"step up out of the folder", "a [F b>F",
         [](auto& l) { return movePresetStep(l, "b", -1); }, "a b [F"},
        {"step up into the folder above", "[F b>F a",
         [](auto& l) { return movePresetStep(l, "a", -1); }, "[F b>F a>F"},
        {"step up into an empty folder", "[F a", [](auto& l) { return movePresetStep(l, "a", -1); },
         "[F a>F"},
        {"step down into the folder below", "a [F b>F",
         [](auto& l) { return movePresetStep(l, "a", 1); }, "[F a>F b>F"},
        {"step down out of the folder", "[F b>F c>F a",
         [](auto& l) { return movePresetStep(l, "c", 1); }, "[F b>F c a"},
        {"step down at top level", "a b c", [](auto& l) { return movePresetStep(l, "a", 1); },
         "b a c"},
        {"no step past the ends", "a b", [](auto& l) { return movePresetStep(l, "a", -1); },
         "unchanged"},
        {"rename", "[F a>F", [](auto& l) { return renameFolder(l, "F", "Mail"); }, "[F=Mail a>F"},
        {"rename a preset", "[F a>F", [](auto& l) { return renameFolder(l, "a", "x"); },
         "unchanged"},
        {"delete a preset", "[F a>F b", [](auto& l) { return deletePreset(l, "a"); }, "[F b"},
        {"delete a folder keeps its presets in place", "[F a>F b c>F",
         [](auto& l) { return deleteFolder(l, "F"); }, "a b c"},
        {"delete a preset as a folder", "[F a>F", [](auto& l) { return deleteFolder(l, "a"); },
         "unchanged"},
        {"ungroup", "[F a>F [G b>G c", [](auto& l) { return ungroupAll(l); }, "a b c"},
        {"ungroup without folders", "a b", [](auto& l) { return ungroupAll(l); }, "unchanged"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(words(c.edit(list(c.before))), c.after) << c.name;
    }
}

TEST(PresetListEditsTest, NewFoldersComeFirstOpenWithANameNoFolderHas) {
    AddedFolder first = addFolder(list("a"), "New Folder");
    AddedFolder second = addFolder(first.items, "New Folder");
    AddedFolder third = addFolder(second.items, "New Folder");
    ASSERT_EQ(third.items.size(), 4u);
    EXPECT_EQ(third.items[0].id(), third.folderId);
    EXPECT_TRUE(third.items[0].folder()->open);
    EXPECT_EQ(third.items[0].folder()->label, "New Folder 3");
    EXPECT_EQ(third.items[1].folder()->label, "New Folder 2");
    EXPECT_EQ(third.items[2].folder()->label, "New Folder");
    EXPECT_NE(first.folderId, second.folderId);
}

}  // namespace
}  // namespace orvex
