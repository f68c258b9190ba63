#include "app/store/preset_model.h"

#include <gtest/gtest.h>

#include <string>

namespace orvex {
namespace {

AppSettings decodeOk(std::string_view text) {
    auto result = decodeAppSettings(text);
    if (auto* error = std::get_if<DecodeError>(&result)) {
        ADD_FAILURE() << "unexpected decode failure: " << error->description;
        return {};
    }
    return std::get<AppSettings>(result);
}

std::string decodeError(std::string_view text) {
    auto result = decodeAppSettings(text);
    if (!std::holds_alternative<DecodeError>(result)) {
        ADD_FAILURE() << "decoded although it should fail: " << text;
        return {};
    }
    return std::get<DecodeError>(result).description;
}

PresetData onlyPreset(std::string_view text) {
    AppSettings settings = decodeOk(text);
    EXPECT_EQ(settings.presets.size(), 1u);
    if (settings.presets.empty() || !settings.presets[0].isPreset()) {
        ADD_FAILURE() << "no preset in " << text;
        return {};
    }
    return *settings.presets[0].preset();
}

TEST(PresetReading, BareElementIsTheBlankPresetWithAFreshIdAtEachRead) {
    const char* file = R"({"presets": [{"type": "preset"}], "language": null})";
    PresetData first = onlyPreset(file);
    PresetData second = onlyPreset(file);

    EXPECT_EQ(first.id.size(), 36u) << first.id;  // a fresh UUID
    EXPECT_NE(first.id, second.id);

    PresetData expected;
    expected.id = first.id;
    expected.destinations = {"chatgpt-app"};
    EXPECT_EQ(first, expected);

    // A new preset is the same blank preset before its first save fills `destinations`.
    PresetData fresh = newBlankPreset();
    EXPECT_EQ(fresh.id.size(), 36u);
    fresh.id = first.id;
    fresh.destinations = {"chatgpt-app"};
    EXPECT_EQ(fresh, first);
}

TEST(PresetReading, AnyTypeButExactlyFolderIsAPresetWrittenBackAsPreset) {
    for (const char* type : {"", R"("type": null,)", R"("type": "Folder",)", R"("type": "group",)",
                             R"("type": "folders",)"}) {
        std::string file =
            std::string(R"({"presets": [{)") + type + R"("id": "x", "label": "L"}]})";
        PresetData preset = onlyPreset(file);
        EXPECT_EQ(preset.type, "preset") << file;
        EXPECT_EQ(preset.label, "L") << file;
        EXPECT_EQ(encodePresetData(preset)["type"], "preset");
    }
}

TEST(PresetReading, MistypedKeysFallBackOneByOne) {
    PresetData preset = onlyPreset(R"({"presets": [{
        "id": 7, "folderId": 3, "label": ["x"], "shortcut": "Alt+X",
        "autoSend": "true", "useCapture": "true", "cutText": 1, "createFile": null,
        "destinations": ["claude", 5], "destination": "gemini",
        "multiDestMode": false, "fixedPrompt": "Explain:", "fileExt": {"a": 1}}]})");

    EXPECT_EQ(preset.id.size(), 36u);
    EXPECT_FALSE(preset.folderId.has_value());
    EXPECT_EQ(preset.label, "");
    EXPECT_EQ(preset.shortcut, "Alt+X");
    EXPECT_TRUE(preset.autoSend);
    EXPECT_FALSE(preset.useCapture);
    EXPECT_FALSE(preset.cutText);
    EXPECT_FALSE(preset.createFile);
    EXPECT_EQ(preset.multiDestMode, "lastUsed");
    EXPECT_EQ(preset.fixedPrompt, "Explain:");
    EXPECT_EQ(preset.fileExt, "");
    // A list holding a non-string is mistyped as a whole, so the destination fills it.
    EXPECT_EQ(preset.destination, "gemini-app");
    EXPECT_EQ(preset.destinations, std::vector<std::string>{"gemini-app"});
}

TEST(PresetReading, LegacyDestinationsAreMigratedAndDeduplicatedKeepingTheFirst) {
    using List = std::vector<std::string>;
    const struct {
        const char* preset;
        const char* destination;
        List destinations;
    } cases[] = {
        {R"({"destination": "claude-web", "destinations": ["chatgpt-web", "chatgpt-app",
            "claude", "gemini", "claude-web"]})",
         "claude-app", List{"chatgpt-app", "claude-app", "gemini-app"}},
        {R"({"destination": "focused-field", "destinations": []})", "last-input-field",
         List{"last-input-field"}},
        {R"({"destination": "my-bot", "destinations": ["my-bot", "chatgpt"]})", "my-bot",
         List{"my-bot", "chatgpt-app"}},
    };
    for (const auto& c : cases) {
        PresetData preset = onlyPreset(std::string(R"({"presets": [)") + c.preset + "]}");
        EXPECT_EQ(preset.destination, c.destination) << c.preset;
        EXPECT_EQ(preset.destinations, c.destinations) << c.preset;
    }
}

// One bad element fails the whole file; a bad folder is named by its place.
TEST(SettingsReading, WholeFileFailures) {
    for (const char* folder :
         {R"("id": "F", "label": "Work")", R"("label": "Work", "open": true)",
          R"("id": "F", "open": true)", R"("id": "F", "label": "Work", "open": "true")",
          R"("id": 1, "label": "Work", "open": true)",
          R"("id": "F", "label": null, "open": true)"}) {
        std::string error = decodeError(std::string(R"({"presets": [{"id": "1"}, {"type": )") +
                                        R"("folder", )" + folder + "}]}");
        EXPECT_NE(error.find("presets[1]"), std::string::npos) << error;
    }
    const char* broken[] = {
        "{}",
        R"({"presets": null})",
        R"({"presets": {"id": "1"}})",
        R"({"presets": "[]"})",
        R"({"presets": [], "language": 5})",
        R"({"presets": [], "tutorialCompleted": "yes"})",
        R"({"presets": [{"type": 3}]})",
        R"({"presets": [{"type": ["folder"]}]})",
        R"({"presets": [42]})",
        R"([{"presets": []}])",
        "",
        "not json",
        R"({"presets": [], })",
        "{\"presets\": [{\"label\": \"\xff\xfe\"}]}",
        "{\"presets\": [{\"label\": \"\xc3\"}]}",
    };
    for (const char* text : broken) {
        EXPECT_FALSE(decodeError(text).empty()) << text;
    }
}

TEST(SettingsWriting, ExactFileFormSortedKeysAndOptionalsOmitted) {
    PresetData topLevel;
    topLevel.id = "1";
    topLevel.label = "Ask";
    topLevel.destinations = {"chatgpt-app", "claude-app"};
    topLevel.folderId = "";  // present but empty: written, and belongs to no folder
    AppSettings settings{
        {PresetItem{FolderItem{"folder", "F", "Work", true}}, PresetItem{topLevel}},
        std::nullopt,
        std::nullopt};

    const char* expected = R"({
  "presets": [
    {
      "id": "F",
      "label": "Work",
      "open": true,
      "type": "folder"
    },
    {
      "appName": "",
      "autoSend": true,
      "createFile": false,
      "cutText": false,
      "destination": "chatgpt-app",
      "destinations": [
        "chatgpt-app",
        "claude-app"
      ],
      "fileExt": "",
      "filePath": "",
      "fixedPrompt": "",
      "folderId": "",
      "id": "1",
      "label": "Ask",
      "mode": "selection",
      "multiDestMode": "lastUsed",
      "shortcut": "",
      "type": "preset",
      "useCapture": false
    }
  ]
}
)";
    EXPECT_EQ(encodeAppSettingsText(settings), expected);
    topLevel.folderId.reset();
    EXPECT_FALSE(encodePresetData(topLevel).contains("folderId"));

    settings.language = "en";
    settings.tutorialCompleted = true;
    std::string withOptionals = encodeAppSettingsText(settings);
    EXPECT_EQ(withOptionals.rfind("{\n  \"language\": \"en\",\n  \"presets\": [", 0), 0u);
    EXPECT_NE(withOptionals.find("  ],\n  \"tutorialCompleted\": true\n}\n"), std::string::npos);
}

TEST(SettingsWriting, RoundTripKeepsModelDataAndDropsUnknownKeys) {
    AppSettings read = decodeOk(R"({"presets": [
        {"type": "folder", "id": "F", "label": "Work", "open": true, "color": "red"},
        {"id": "1", "folderId": "F", "label": "Fix", "appName": "Notes", "extra": [1, 2],
         "destinations": ["terminal"], "useCapture": true}],
        "language": "ja", "tutorialCompleted": null, "unknownRootKey": 1})");
    ASSERT_EQ(read.presets.size(), 2u);
    ASSERT_TRUE(read.presets[0].isFolder());
    EXPECT_EQ(*read.presets[0].folder(), (FolderItem{"folder", "F", "Work", true}));
    EXPECT_EQ(read.presets[0].id(), "F");
    EXPECT_EQ(read.language, "ja");
    EXPECT_FALSE(read.tutorialCompleted.has_value());  // null reads as absent
    std::string text = encodeAppSettingsText(read);
    EXPECT_EQ(text.find("extra"), std::string::npos);
    EXPECT_EQ(text.find("color"), std::string::npos);
    EXPECT_EQ(text.find("unknownRootKey"), std::string::npos);
    EXPECT_EQ(text.find("tutorialCompleted"), std::string::npos);
    EXPECT_EQ(decodeOk(text), read);
}

TEST(PresetModel, ActionTypePrecedence) {
    PresetData preset;
    EXPECT_EQ(toString(actionType(preset)), "ai");
    preset.filePath = "/tmp/a.txt";
    EXPECT_EQ(toString(actionType(preset)), "open-file");
    preset.appName = "Safari";
    EXPECT_EQ(toString(actionType(preset)), "activate-app");
    preset.createFile = true;
    EXPECT_EQ(toString(actionType(preset)), "create-file");
}

}  // namespace
}  // namespace orvex
