#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/execution/preset_executor.h"
#include "app/execution/tests/sim_execution_fixture.h"

namespace orvex::preset_run_test {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

using execution_test::Status;

// Whole presets run through the executor in a preset run's world (SimExecutionFixture). A
// run is executed inline on the test's (main) thread, as a task of its own would.
class PresetRunFixture : public execution_test::SimExecutionFixture {
  protected:
    PresetRunFixture() : SimExecutionFixture("orvex-presetrun-") {
        i18n_.loadLanguage("en");
        // The capture file's private directory lives in the sandbox.
        std::filesystem::create_directories(sandbox_ / "runtime");
        ::chmod((sandbox_ / "runtime").c_str(), 0700);
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
            savedRuntimeDirectory_ = runtime;
        }
        ::setenv("XDG_RUNTIME_DIR", (sandbox_ / "runtime").c_str(), 1);
        notifications_.addObserver(notifications::hideMainWindow,
                                   [this](const AppNotification&) { ++hideMainWindowCount_; });
    }

    ~PresetRunFixture() override {
        executor_.reset();
        if (savedRuntimeDirectory_) {
            ::setenv("XDG_RUNTIME_DIR", savedRuntimeDirectory_->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }

    // Sets the desktop up from a scenario, then builds the executor on its context.
    void load(const std::string& scenario) {
        buildOn(scenario);
        executor_ = std::make_unique<PresetExecutor>(*context_, tasks_);
        queue_.runUntilIdle();
        markStart();
    }

    // Forgets what happened so far: the journal, the sleeps and the statuses seen.
    void markStart() {
        queue_.runUntilIdle();
        journalStart_ = sim_->journal().size();
        clock_.clearSleeps();
        statuses_.clear();
        showMainWindowCount_ = 0;
        hideMainWindowCount_ = 0;
    }

    // The user clicks an application (the tracker learns from it on the main queue).
    void userActivates(const std::string& app) {
        ASSERT_TRUE(sim_->userActivate(app)) << app;
        queue_.runUntilIdle();
    }

    // Runs one preset the way every caller does: a task that executes it. The task runs
    // now, on this thread; the main queue is drained afterwards.
    std::optional<std::string> run(const PresetData& preset) {
        std::optional<std::string> answer;
        bool finished = false;
        executor_->start(preset, [&](std::optional<std::string> error) {
            answer = std::move(error);
            finished = true;
        });
        tasks_.runAll();
        queue_.runUntilIdle();
        EXPECT_TRUE(finished);
        // The caller hears the error the run ended on, whoever posted it.
        Status last = lastStatus();
        EXPECT_EQ(answer, last.isError ? std::optional(last.message) : std::nullopt);
        return answer;
    }

    // The keystrokes since the start mark as "cmd+v", "return", with their effect.
    std::vector<std::string> keystrokes() const {
        std::vector<std::string> result;
        for (const Json& entry : events("keystroke")) {
            std::string text;
            for (const Json& modifier : entry.at("modifiers")) {
                text += modifier.get<std::string>() == "command"
                            ? "cmd+"
                            : modifier.get<std::string>() + "+";
            }
            text += entry.at("key").get<std::string>();
            text += "->" + entry.at("effect").get<std::string>();
            result.push_back(text);
        }
        return result;
    }
    std::vector<SimMessage> messages() const { return sim_->messages(); }

    std::vector<Ms> sleeps() const {
        std::vector<Ms> result;
        for (Clock::Duration d : clock_.sleeps()) {
            result.push_back(std::chrono::duration_cast<Ms>(d));
        }
        return result;
    }
    Status lastStatus() {
        std::vector<Status> all = statuses();
        return all.empty() ? Status{} : all.back();
    }
    Status ok(const char* key, const TextParams& params = {}) const {
        return {text(key, params), false};
    }
    Status error(const char* key, const TextParams& params = {}) const {
        return {text(key, params), true};
    }
    int hideMainWindowCount() {
        queue_.runUntilIdle();
        return hideMainWindowCount_;
    }
    std::filesystem::path runtimeDirectory() const { return sandbox_ / "runtime" / "orvex"; }

    std::unique_ptr<PresetExecutor> executor_;
    std::optional<std::string> savedRuntimeDirectory_;
    int hideMainWindowCount_ = 0;
};

// A preset of the AI-send kind with the usual fields.
inline PresetData aiPreset(std::vector<std::string> destinations, std::string prompt = "",
                           bool autoSend = true) {
    PresetData preset;
    preset.id = "p-" + newUuid();
    preset.label = "Send";
    preset.destinations = std::move(destinations);
    if (!preset.destinations.empty()) {
        preset.destination = preset.destinations.front();
    }
    preset.fixedPrompt = std::move(prompt);
    preset.autoSend = autoSend;
    return preset;
}

// ---- Scenario pieces ------------------------------------------------------------------

inline constexpr const char* kEditor = "com.example.editor";
inline constexpr const char* kChatGPT = "com.openai.codex";
inline constexpr const char* kClaude = "com.anthropic.claudefordesktop";
inline constexpr const char* kChrome = "com.google.Chrome";
inline constexpr const char* kTerminal = "com.apple.Terminal";
inline constexpr const char* kFinder = "com.apple.finder";
inline constexpr const char* kSelf = "com.tavrin.orvex";

// A desktop with these applications and this one in front.
inline std::string scenario(const std::vector<Json>& apps, const std::string& frontmost,
                            Json extra = Json::object()) {
    Json root = {{"applications", apps}, {"frontmost", frontmost}};
    for (auto& [key, value] : extra.items()) {
        root[key] = value;
    }
    return root.dump();
}

// A running text editor whose document holds `text` with [from, from + length) selected.
inline Json editor(const std::string& text, int from, int length, bool ignoresCut = false) {
    Json document = {
        {"role", "AXTextArea"},        {"id", "document"}, {"value", text}, {"settable", true},
        {"selection", {from, length}}, {"focused", true}};
    return {{"bundleId", kEditor},
            {"name", "Editor"},
            {"kind", "editor"},
            {"running", true},
            {"ignoresCut", ignoresCut},
            {"documentTypes", {"txt"}},
            {"windows", Json::array({{{"title", "notes.txt"}, {"elements", {document}}}})}};
}

// A native AI chat application; when running, with its standard chat window.
inline Json chatApp(const std::string& bundleId, const std::string& name, bool running,
                    bool withWindow = true) {
    Json app = {{"bundleId", bundleId}, {"name", name}, {"kind", "chat"}, {"running", running}};
    if (running && withWindow) {
        app["windows"] = Json::array({{{"title", name}}});
    }
    return app;
}

inline Json chrome(const std::vector<Json>& windows) {
    Json app = {
        {"bundleId", kChrome}, {"name", "Google Chrome"}, {"kind", "browser"}, {"running", true}};
    if (!windows.empty()) {
        app["windows"] = windows;
    }
    return app;
}

inline Json browserWindow(const std::vector<Json>& tabs, int activeTab = 1) {
    return {{"tabs", tabs}, {"activeTab", activeTab}};
}

inline Json terminalApp(bool running, bool withWindow) {
    Json app = {
        {"bundleId", kTerminal}, {"name", "Terminal"}, {"kind", "terminal"}, {"running", running}};
    if (running && withWindow) {
        app["windows"] = Json::array({{{"title", "Terminal"}}});
    }
    return app;
}

}  // namespace orvex::preset_run_test
