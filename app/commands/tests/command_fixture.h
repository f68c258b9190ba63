#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/commands/command_params.h"
#include "app/commands/command_processor.h"
#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "app/store/settings_manager.h"
#include "base/clock.h"
#include "base/manual_main_queue.h"
#include "base/task_runner.h"
#include "testing/source_tree.h"
#include "testing/temp_dir.h"

namespace orvex::commands_test {

using orvex::testing::readText;

inline PresetData preset(std::string id, std::string label, std::string shortcut = "",
                         std::optional<std::string> folderId = std::nullopt) {
    PresetData p;
    p.id = std::move(id);
    p.label = std::move(label);
    p.shortcut = std::move(shortcut);
    p.folderId = std::move(folderId);
    return p;
}

inline FolderItem folder(std::string id, std::string label, bool open = true) {
    FolderItem f;
    f.id = std::move(id);
    f.label = std::move(label);
    f.open = open;
    return f;
}

// The whole application core a command touches, on virtual time: a settings file in a
// scratch directory, the state, the shipped locale files, notifications on the manual main
// queue, tasks that run when the test says so, and a preset runner the test controls.
class CommandFixture : public ::testing::Test {
  protected:
    // Starts on a list of two presets and one folder holding the second, in English.
    void startWithSampleList() {
        AppSettings initial;
        initial.presets = {PresetItem{preset("p1", "First", "Alt+1")},
                           PresetItem{folder("f1", "Folder")},
                           PresetItem{preset("p2", "Second", "", "f1")}};
        initial.tutorialCompleted = true;
        initial.language = "en";
        SettingsManager(settingsFile).save(initial);
        settings = std::make_unique<SettingsManager>(settingsFile);
        i18n = std::make_unique<LocalizationManager>(
            *settings, LocalizationOptions{
                           .localeDirectory = testing::sourceDir() / "app/i18n/resources/locales",
                           .preferredLanguages = [] { return std::vector<std::string>{"en-US"}; },
                           .writeInterfaceLanguages = {},
                       });
        settings->setFactoryTexts(i18n->textLookup());
        state = std::make_unique<AppState>(
            *settings, mainQueue,
            [this](const std::vector<PresetData>& presets) { registrations.push_back(presets); });
        notifications = std::make_unique<NotificationCenter>(mainQueue);
        processor = std::make_unique<CommandProcessor>(CommandServices{
            .state = *state,
            .i18n = *i18n,
            .notifications = *notifications,
            .mainQueue = mainQueue,
            .tasks = tasks,
            .runPreset =
                [this](PresetData preset, std::function<void(std::optional<std::string>)> done) {
                    runs.push_back(std::move(preset));
                    pendingRuns.push_back(std::move(done));
                },
            .desktop = desktop,
            .scripts = scripts,
        });
    }

    // Sends one command; every answer it produced so far is in `answers`.
    void send(const std::string& action, CommandParams params = {}) {
        processor->process(
            CLICommand{"cmd-" + std::to_string(++sent), action, std::move(params)},
            [this](CLIResponse response) { answers.push_back(std::move(response)); });
    }

    // Sends one command, lets the main queue settle, and returns its only answer.
    CLIResponse ask(const std::string& action, CommandParams params = {}) {
        const std::size_t before = answers.size();
        send(action, std::move(params));
        mainQueue.runUntilIdle();
        EXPECT_EQ(answers.size(), before + 1)
            << action << " answered " << answers.size() - before << " times";
        return answers.empty() ? CLIResponse{} : answers.back();
    }

    // The message of a successful answer ("" with a test failure otherwise).
    std::string messageOf(const CLIResponse& response) {
        EXPECT_TRUE(response.success) << response.error.value_or("");
        return response.data && response.data->message ? *response.data->message : "";
    }

    testing::TempDir dir;
    std::filesystem::path settingsFile = dir / "settings.json";
    VirtualClock clock;
    ManualMainQueue mainQueue{clock};
    ManualTaskRunner tasks;
    Desktop* desktop = nullptr;
    AppleScriptRunner* scripts = nullptr;

    std::unique_ptr<SettingsManager> settings;
    std::unique_ptr<LocalizationManager> i18n;
    std::unique_ptr<AppState> state;
    std::unique_ptr<NotificationCenter> notifications;
    std::unique_ptr<CommandProcessor> processor;

    std::vector<std::vector<PresetData>> registrations;
    std::vector<PresetData> runs;
    std::vector<std::function<void(std::optional<std::string>)>> pendingRuns;
    std::vector<CLIResponse> answers;
    int sent = 0;
};

}  // namespace orvex::commands_test
