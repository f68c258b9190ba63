#include "app/commands/command_params.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

TEST(CommandParams, OnlyTheExactTextTrueIsTrue) {
    EXPECT_TRUE(booleanParam("true"));
    for (const char* other : {"TRUE", "True", "1", "yes", "", " true", "true "}) {
        EXPECT_FALSE(booleanParam(other)) << other;
    }
}

TEST(CommandParams, ListSplitsAtCommasDropsEmptyPiecesAndNeverTrims) {
    using List = std::vector<std::string>;
    EXPECT_EQ(listParam("chatgpt-app,,claude-app"), (List{"chatgpt-app", "claude-app"}));
    EXPECT_EQ(listParam("gemini, terminal"), (List{"gemini", " terminal"}));
    EXPECT_EQ(listParam(",a,"), (List{"a"}));
    EXPECT_EQ(listParam(" "), (List{" "}));
    EXPECT_TRUE(listParam("").empty());
    EXPECT_TRUE(listParam(",,").empty());
}

TEST(CommandParams, ApplyParamsOverwritesEveryGivenFieldUnvalidated) {
    PresetData preset = newBlankPreset();
    const PresetData before = preset;
    applyParams(preset, {{"label", " Mail "},
                         {"shortcut", "not a shortcut"},
                         {"destination", "no-such-app"},
                         {"destinations", "a,b"},
                         {"multiDestMode", "whatever"},
                         {"fixedPrompt", "Summarize:"},
                         {"useCapture", "true"},
                         {"cutText", "true"},
                         {"autoSend", "false"},
                         {"filePath", "~/x.txt"},
                         {"appName", "Mail"},
                         {"createFile", "true"},
                         {"fileExt", "md"},
                         {"folderId", "f9"},
                         {"type", "folder"},
                         {"id", "other"},
                         {"mode", "clipboard"},
                         {"Label", "ignored: keys are case-sensitive"}});
    EXPECT_EQ(preset.label, " Mail ");
    EXPECT_EQ(preset.shortcut, "not a shortcut");
    EXPECT_EQ(preset.destination, "no-such-app");
    EXPECT_EQ(preset.destinations, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(preset.multiDestMode, "whatever");
    EXPECT_EQ(preset.fixedPrompt, "Summarize:");
    EXPECT_TRUE(preset.useCapture);
    EXPECT_TRUE(preset.cutText);
    EXPECT_FALSE(preset.autoSend);
    EXPECT_EQ(preset.filePath, "~/x.txt");
    EXPECT_EQ(preset.appName, "Mail");
    EXPECT_TRUE(preset.createFile);
    EXPECT_EQ(preset.fileExt, "md");
    EXPECT_EQ(preset.folderId, "f9");
    // Never settable through parameters.
    EXPECT_EQ(preset.type, "preset");
    EXPECT_EQ(preset.id, before.id);
    EXPECT_EQ(preset.mode, before.mode);
}

TEST(CommandParams, AbsentKeysKeepFieldsAndOddBooleansStoreFalse) {
    PresetData preset = newBlankPreset();
    preset.useCapture = true;
    preset.autoSend = false;
    preset.folderId = "f1";
    preset.destinations = {"x"};
    applyParams(preset, {{"cutText", "TRUE"}, {"createFile", ""}});
    EXPECT_TRUE(preset.useCapture);
    EXPECT_FALSE(preset.autoSend);
    EXPECT_FALSE(preset.cutText);
    EXPECT_FALSE(preset.createFile);
    EXPECT_EQ(preset.folderId, "f1");
    EXPECT_EQ(preset.destinations, (std::vector<std::string>{"x"}));

    // An empty folder id is stored as present (it names no folder); an empty list is empty.
    applyParams(preset, {{"folderId", ""}, {"destinations", ""}, {"useCapture", "1"}});
    EXPECT_EQ(preset.folderId, std::optional<std::string>(""));
    EXPECT_TRUE(preset.destinations.empty());
    EXPECT_FALSE(preset.useCapture);
}

TEST(CommandParams, LabelRuleReplacesBlankLabelsOnly) {
    PresetData preset;
    for (const char* blank : {"", "   ", "\t", " \t "}) {
        preset.label = blank;
        applyLabelRule(preset, "New Preset");
        EXPECT_EQ(preset.label, "New Preset") << "[" << blank << "]";
    }
    for (const char* kept : {" Work ", "\tTabbed", "x"}) {
        preset.label = kept;
        applyLabelRule(preset, "New Preset");
        EXPECT_EQ(preset.label, kept);
    }
    // Only spaces and tabs count as blank: a line break is a label.
    preset.label = "\n";
    applyLabelRule(preset, "New Preset");
    EXPECT_EQ(preset.label, "\n");
}

}  // namespace
}  // namespace orvex
