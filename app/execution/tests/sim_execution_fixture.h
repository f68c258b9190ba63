#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
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
#include "testing/source_tree.h"
#include "testing/temp_dir.h"
#include "tools/inputaim/sim/inputaim_in_process.h"

namespace orvex::execution_test {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using Strings = std::vector<std::string>;
using Sleeps = std::vector<std::chrono::milliseconds>;

// A bundle identifier's last part ("com.openai.codex" -> "codex"); anything else as it is.
inline std::string shortName(const Json& value) {
    const std::string text = value.get<std::string>();
    if (text.find_first_of("/: ") != std::string::npos || text.starts_with("-")) {
        return text;
    }
    return text.substr(text.rfind('.') + 1);
}

// A whole run: the desktop, what the user did before, the preset, and all it leaves behind.
// Statuses read "status.sent", "!status.noSelection" (an error), "status.x|name=value".
struct RunCase {
    std::string name;
    std::string desk;
    PresetData preset;
    Strings before = {};    // applications the user clicks forward, in order
    Strings history = {};   // destinations sent to before, oldest first
    std::string quit = {};  // an application that quits before the run
    bool pinned = false;    // the main window stays on top
    Strings statuses = {};
    Strings story = {};
    Sleeps sleeps = {};
    Strings sent = {};
    int hidden = 0;                                       // times the main window was hidden
    std::vector<std::array<std::string, 3>> values = {};  // application, element id, value
    Strings files = {};                                   // inside the home folder
};
inline void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.name;
}

// A preset run on the simulated desktop and virtual time, with the real script runner and
// interpreter, the real input finder (in-process) and the real locale files. The test body
// is the main thread: each virtual sleep lets the main queue's work and timers run at their
// own moment. Presets run through the executor inline, as their own task would. Statuses
// are recorded as the user reads them, errors as "[error] message".
class SimExecutionFixture : public ::testing::Test {
  protected:
    SimExecutionFixture()
        : queue_(clock_),
          sim_(SimDesktop::create(clock_, queue_)),
          scripting_(sim_),
          settings_(sandbox_ / "settings.json"),
          appState_(settings_, queue_, {}),
          i18n_(settings_,
                LocalizationOptions{orvex::testing::sourceDir() / "app/i18n/resources/locales",
                                    [] { return Strings{"en"}; },
                                    {}}),
          notifications_(queue_) {
        desktop_ = sim_->desktop();
        scripts_ = std::make_unique<AppleScriptRunner>(scripting_.host(), *desktop_.keyboard,
                                                       clock_, tasks_);
        registerInputaimInProcess(*sim_);
        appState_.addObserver({{}, [this](StateField field) {
                                   if (field == StateField::statusIsError) {
                                       statuses_.push_back(currentStatus());
                                   }
                               }});
        notifications_.addObserver(notifications::showMainWindow,
                                   [this](const AppNotification&) { ++shown_; });
        notifications_.addObserver(notifications::hideMainWindow,
                                   [this](const AppNotification&) { ++hidden_; });
        i18n_.loadLanguage("en");
        // The capture file's private directory lives in the sandbox.
        std::filesystem::create_directories(sandbox_ / "runtime");
        ::chmod((sandbox_ / "runtime").c_str(), 0700);
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
            savedRuntime_ = runtime;
        }
        ::setenv("XDG_RUNTIME_DIR", (sandbox_ / "runtime").c_str(), 1);
    }
    ~SimExecutionFixture() override {
        executor_.reset();
        if (savedRuntime_) {
            ::setenv("XDG_RUNTIME_DIR", savedRuntime_->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }

    // Applies a scenario, then builds the tracker (it reads the own application and the
    // browsers at creation), the context and the executor on it, and starts afresh.
    void load(const std::string& scenario) {
        auto error = applyScenarioText(*sim_, scenario, sandbox_.path());
        ASSERT_FALSE(error) << *error;
        tracker_ = PreviousAppTracker::create(desktop_, queue_, clock_, *scripts_, config_);
        context_ = std::make_unique<ExecutionContext>(
            ExecutionContext{desktop_, clock_, queue_, appState_, i18n_, notifications_, *scripts_,
                             *tracker_, config_, captureDirectories_});
        executor_ = std::make_unique<PresetExecutor>(*context_, tasks_);
        markStart();
    }
    // Forgets what happened so far: the journal, the sleeps, the statuses, the window counts.
    void markStart() {
        queue_.runUntilIdle();
        journalStart_ = sim_->journal().size();
        clock_.clearSleeps();
        statuses_.clear();
        shown_ = hidden_ = 0;
    }
    // The user clicks an application (the tracker learns from it on the main queue).
    void userActivates(const std::string& app) {
        ASSERT_TRUE(sim_->userActivate(app)) << app;
        queue_.runUntilIdle();
    }
    // Runs one preset as every caller does, and checks what holds for every run: the caller
    // hears the error the run ended on, a failed run brings the main window forward once and
    // a good one never, and the tracker is no longer sending.
    std::optional<std::string> run(const PresetData& preset) {
        const int shownBefore = showMainWindowCount();
        std::optional<std::string> answer;
        bool finished = false;
        executor_->start(preset, [&](std::optional<std::string> error) {
            answer = std::move(error);
            finished = true;
        });
        tasks_.runAll();
        EXPECT_TRUE(finished);
        Strings all = statuses();
        const std::string last = all.empty() ? "" : all.back();
        EXPECT_EQ(answer ? "[error] " + *answer : "", last.starts_with("[error]") ? last : "");
        EXPECT_EQ(showMainWindowCount() - shownBefore, answer ? 1 : 0);
        EXPECT_FALSE(tracker_->isSending());
        return answer;
    }
    void expectRun(const RunCase& c) {
        load(c.desk);
        for (const std::string& app : c.before) {
            userActivates(app);
        }
        for (const std::string& destination : c.history) {
            tracker_->recordSendTarget(destination);
        }
        if (!c.quit.empty()) {
            ASSERT_TRUE(sim_->terminate(c.quit));
        }
        appState_.setAlwaysOnTop(c.pinned);
        markStart();

        run(c.preset);

        Strings expected;
        for (const std::string& written : c.statuses) {
            const bool isError = written.starts_with("!");
            const std::string line = written.substr(isError ? 1 : 0);
            const std::size_t bar = line.find('|');
            TextParams params;
            if (bar != std::string::npos) {
                const std::size_t equals = line.find('=', bar);
                params[line.substr(bar + 1, equals - bar - 1)] = line.substr(equals + 1);
            }
            expected.push_back((isError ? "[error] " : "") +
                               text(line.substr(0, bar).c_str(), params));
        }
        EXPECT_EQ(statuses(), expected);
        EXPECT_EQ(story(), c.story);
        EXPECT_EQ(sleeps(), c.sleeps);
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(hideMainWindowCount(), c.hidden);
        for (const auto& [app, element, value] : c.values) {
            EXPECT_EQ(sim_->elementValue(app, element), value) << app << " " << element;
        }
        for (const std::string& file : c.files) {
            EXPECT_TRUE(std::filesystem::is_regular_file(sim_->homeDirectory() / file)) << file;
        }
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
    // What a user would notice, in order: keystrokes as "cmd+v->paste" (key and effect),
    // "activate codex", "launch Terminal", "search --hint Gemini" (the input finder),
    // "tabOpened Chrome <url>", "capture <file name>"...
    Strings story() const {
        static const std::set<std::string> kinds = {
            "activate",   "launch",      "launchFailed",     "reopen",    "windowRestored",
            "fileOpened", "openRefused", "folderShown",      "tabOpened", "windowRaised",
            "capture",    "processRun",  "permissionPrompt", "focusTaken"};
        Strings result;
        for (const Json& entry : events()) {
            const std::string kind = entry.at("event");
            std::string line = kind;
            if (kind == "keystroke") {
                line = "";
                for (const Json& modifier : entry.at("modifiers")) {
                    line += (modifier == "command" ? "cmd" : modifier.get<std::string>()) + "+";
                }
                result.push_back(line + entry.value("key", "") + "->" + entry.value("effect", ""));
                continue;
            }
            if (!kinds.contains(kind)) {
                continue;
            }
            if (kind == "processRun") {
                const std::string program = entry.at("executable");
                line = program.ends_with("/inputaim") ? "search" : "run " + program;
            }
            for (const char* key : {"app", "url", "permission", "title"}) {
                line += entry.contains(key) ? " " + shortName(entry.at(key)) : "";
            }
            for (const char* key : {"path", "folder"}) {
                if (entry.contains(key)) {
                    line += " " + std::filesystem::path(entry.value(key, "")).filename().string();
                }
            }
            for (const Json& argument : entry.value("arguments", Json::array())) {
                line += " " + shortName(argument);
            }
            if (entry.value("exitStatus", 0) != 0 || !entry.value("started", true)) {
                line += " (failed)";
            }
            result.push_back(line);
        }
        return result;
    }
    // The messages the applications received, as "codex: text", "Chrome <page>: [1 image] text".
    Strings sent() const {
        Strings result;
        for (const SimMessage& m : sim_->messages()) {
            std::string images = m.images ? "[" + std::to_string(m.images) + " image] " : "";
            result.push_back(shortName(m.appKey) + (m.url ? " " + *m.url : "") + ": " + images +
                             m.text);
        }
        return result;
    }
    Sleeps sleeps() const {
        Sleeps result;
        for (Clock::Duration d : clock_.sleeps()) {
            result.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(d));
        }
        return result;
    }
    RunningApplicationRef running(const std::string& bundleId) {
        auto apps = desktop_.runningApplications->runningApplications(bundleId);
        return apps.empty() ? nullptr : apps.front();
    }
    std::string currentStatus() const {
        return (appState_.statusIsError() ? "[error] " : "") + appState_.statusMessage();
    }
    Strings statuses() {
        queue_.runUntilIdle();
        return statuses_;
    }
    std::string text(const char* key, const TextParams& params = {}) const {
        return i18n_.text(key, params);
    }
    std::string error(const char* key, const TextParams& params = {}) const {
        return "[error] " + text(key, params);
    }
    int showMainWindowCount() {
        queue_.runUntilIdle();
        return shown_;
    }
    int hideMainWindowCount() {
        queue_.runUntilIdle();
        return hidden_;
    }
    std::filesystem::path runtimeDirectory() const { return sandbox_ / "runtime" / "orvex"; }

    orvex::testing::TempDir sandbox_;
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
    std::optional<std::string> savedRuntime_;
    std::size_t journalStart_ = 0;
    Strings statuses_;
    int shown_ = 0;
    int hidden_ = 0;
};

// A preset of the AI-send kind.
inline PresetData aiPreset(Strings destinations, std::string prompt = "", bool autoSend = true) {
    PresetData preset;
    preset.id = "p-" + newUuid();
    preset.destinations = std::move(destinations);
    preset.destination = preset.destinations.empty() ? "" : preset.destinations.front();
    preset.fixedPrompt = std::move(prompt);
    preset.autoSend = autoSend;
    return preset;
}

// The whole runs of a test file: TEST_P(Runs, Run) { expectRun(GetParam()); } and the cases
// instantiated with runName.
class RunTest : public SimExecutionFixture, public ::testing::WithParamInterface<RunCase> {};
inline std::string runName(const ::testing::TestParamInfo<RunCase>& info) {
    return info.param.name;
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
    extra["applications"] = apps;
    extra["frontmost"] = frontmost;
    return extra.dump();
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

// An application of this kind; when running and `withWindow`, with one window of its name
// (a chat app's is its standard chat window).
inline Json app(const std::string& bundleId, const std::string& name, const std::string& kind,
                bool running, bool withWindow = true) {
    Json result = {{"bundleId", bundleId}, {"name", name}, {"kind", kind}, {"running", running}};
    if (running && withWindow) {
        result["windows"] = Json::array({{{"title", name}}});
    }
    return result;
}
inline Json chatApp(const std::string& bundleId, const std::string& name, bool running,
                    bool withWindow = true) {
    return app(bundleId, name, "chat", running, withWindow);
}
inline Json terminalApp(bool running, bool withWindow) {
    return app(kTerminal, "Terminal", "terminal", running, withWindow);
}
// Chrome, running, with windows of one active tab each on these pages.
inline Json chrome(const std::vector<Json>& pages) {
    Json result = app(kChrome, "Google Chrome", "browser", true, false);
    for (const Json& page : pages) {
        result["windows"].push_back({{"tabs", {page}}});
    }
    return result;
}

}  // namespace orvex::execution_test
