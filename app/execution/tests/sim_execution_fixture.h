#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/execution/apple_script_runner.h"
#include "app/execution/capture_file.h"
#include "app/execution/execution_context.h"
#include "app/execution/preset_executor.h"
#include "app/execution/previous_app_tracker.h"
#include "app/i18n/localization_manager.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "app/store/settings_manager.h"
#include "base/clock.h"
#include "base/manual_main_queue.h"
#include "base/task_runner.h"
#include "base/uuid.h"
#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_scenario.h"
#include "desktop/sim/sim_scripting.h"
#include "tools/inputaim/sim/inputaim_in_process.h"

namespace orvex::execution_test {

using namespace std::chrono_literals;

inline std::filesystem::path sourceDirectory() {
    if (const char* source = std::getenv("ORVEX_SOURCE_DIR")) {
        return source;
    }
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
}

// One status line assignment as the user sees it.
struct Status {
    std::string message;
    bool isError = false;
    bool operator==(const Status&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Status& status) {
    return out << (status.isError ? "[error] " : "") << status.message;
}

// The world of a preset run on the simulated desktop and virtual time: every service of the
// execution context, with the real script runner and interpreter, the real input finder
// (in-process) and the real locale files. Work is called straight from the test body: it is
// on the main thread, so each sleep on the virtual clock lets the main queue's work and
// timers run at their own moment. The status line and the main-window requests are
// recorded. Whole presets run through the executor, inline on the test's (main) thread, as a
// task of its own would.
class SimExecutionFixture : public ::testing::Test {
  protected:
    SimExecutionFixture()
        : sandbox_(std::filesystem::temp_directory_path() / ("orvex-exec-" + newUuid())),
          queue_(clock_),
          sim_(SimDesktop::create(clock_, queue_)),
          scripting_(sim_),
          settings_((std::filesystem::create_directories(sandbox_), sandbox_ / "settings.json")),
          appState_(settings_, queue_, {}),
          i18n_(settings_, LocalizationOptions{sourceDirectory() / "app/i18n/resources/locales",
                                               [] { return std::vector<std::string>{"en"}; },
                                               {}}),
          notifications_(queue_) {
        desktop_ = sim_->desktop();
        scripts_ = std::make_unique<AppleScriptRunner>(scripting_.host(), *desktop_.keyboard,
                                                       clock_, tasks_);
        registerInputaimInProcess(*sim_);
        appState_.addObserver(
            {{}, [this](StateField field) {
                 if (field == StateField::statusIsError) {
                     statuses_.push_back({appState_.statusMessage(), appState_.statusIsError()});
                 }
             }});
        notifications_.addObserver(notifications::showMainWindow,
                                   [this](const AppNotification&) { ++showMainWindowCount_; });
        notifications_.addObserver(notifications::hideMainWindow,
                                   [this](const AppNotification&) { ++hideMainWindowCount_; });
        i18n_.loadLanguage("en");
        // The capture file's private directory lives in the sandbox.
        std::filesystem::create_directories(sandbox_ / "runtime");
        ::chmod((sandbox_ / "runtime").c_str(), 0700);
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
            savedRuntimeDirectory_ = runtime;
        }
        ::setenv("XDG_RUNTIME_DIR", (sandbox_ / "runtime").c_str(), 1);
    }

    ~SimExecutionFixture() override {
        executor_.reset();
        if (savedRuntimeDirectory_) {
            ::setenv("XDG_RUNTIME_DIR", savedRuntimeDirectory_->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        context_.reset();
        tracker_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(sandbox_, ignored);
    }

    // Applies a scenario, then builds the tracker, the context and the executor on it (the
    // tracker reads the own application and the browsers at creation), and starts afresh.
    void load(const std::string& scenario) {
        auto error = applyScenarioText(*sim_, scenario, sandbox_);
        ASSERT_FALSE(error) << *error;
        tracker_ = PreviousAppTracker::create(desktop_, queue_, clock_, *scripts_, config_);
        context_ = std::make_unique<ExecutionContext>(
            ExecutionContext{desktop_, clock_, queue_, appState_, i18n_, notifications_, *scripts_,
                             *tracker_, config_, captureDirectories_});
        executor_ = std::make_unique<PresetExecutor>(*context_, tasks_);
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
    // Runs one preset the way every caller does: a task that executes it, run now on this
    // thread; the main queue is drained afterwards.
    std::optional<std::string> run(const PresetData& preset) {
        const int shownBefore = showMainWindowCount();
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
        // A failed run brings the main window forward once, a good one never; either way
        // the tracker is no longer sending.
        EXPECT_EQ(showMainWindowCount() - shownBefore, answer ? 1 : 0);
        EXPECT_FALSE(tracker_->isSending());
        return answer;
    }

    // Journal entries since the start, optionally of one kind.
    std::vector<Json> events(const std::string& kind = {}) const {
        std::vector<Json> all = sim_->journal();
        std::vector<Json> result;
        for (std::size_t i = journalStart_; i < all.size(); ++i) {
            if (kind.empty() || all[i].at("event") == kind) {
                result.push_back(all[i]);
            }
        }
        return result;
    }
    // The keystrokes since the start as "cmd+v->paste", "return->send": key and effect.
    std::vector<std::string> keystrokes() const {
        std::vector<std::string> result;
        for (const Json& entry : events("keystroke")) {
            std::string text;
            for (const Json& modifier : entry.at("modifiers")) {
                const auto name = modifier.get<std::string>();
                text += (name == "command" ? "cmd" : name) + "+";
            }
            result.push_back(text + entry.at("key").get<std::string>() + "->" +
                             entry.at("effect").get<std::string>());
        }
        return result;
    }
    std::vector<std::chrono::milliseconds> sleeps() const {
        std::vector<std::chrono::milliseconds> result;
        for (Clock::Duration d : clock_.sleeps()) {
            result.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(d));
        }
        return result;
    }
    RunningApplicationRef running(const std::string& bundleId) {
        auto apps = desktop_.runningApplications->runningApplications(bundleId);
        return apps.empty() ? nullptr : apps.front();
    }
    std::vector<Status> statuses() {
        queue_.runUntilIdle();
        return statuses_;
    }
    std::string text(const char* key, const TextParams& params = {}) const {
        return i18n_.text(key, params);
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
    int showMainWindowCount() {
        queue_.runUntilIdle();
        return showMainWindowCount_;
    }
    int hideMainWindowCount() {
        queue_.runUntilIdle();
        return hideMainWindowCount_;
    }
    std::vector<SimMessage> messages() const { return sim_->messages(); }
    std::filesystem::path runtimeDirectory() const { return sandbox_ / "runtime" / "orvex"; }

    std::filesystem::path sandbox_;
    VirtualClock clock_;
    ManualMainQueue queue_;
    std::shared_ptr<SimDesktop> sim_;
    SimScripting scripting_;
    ManualTaskRunner tasks_;
    Desktop desktop_;
    std::unique_ptr<AppleScriptRunner> scripts_;
    SettingsManager settings_;
    AppState appState_;
    LocalizationManager i18n_;
    NotificationCenter notifications_;
    ExecutionConfig config_;
    CaptureDirectories captureDirectories_;
    std::shared_ptr<PreviousAppTracker> tracker_;
    std::unique_ptr<ExecutionContext> context_;
    std::unique_ptr<PresetExecutor> executor_;
    std::optional<std::string> savedRuntimeDirectory_;
    std::size_t journalStart_ = 0;
    std::vector<Status> statuses_;
    int showMainWindowCount_ = 0;
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

}  // namespace orvex::execution_test
