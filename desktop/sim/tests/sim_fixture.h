#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/clock.h"
#include "base/manual_main_queue.h"
#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_scenario.h"
#include "testing/source_tree.h"
#include "testing/temp_dir.h"

namespace orvex {

// A fresh simulated desktop on virtual time, with its own sandbox directory.
class SimFixture : public ::testing::Test {
  protected:
    SimFixture() : queue_(clock_), desktop_(SimDesktop::create(clock_, queue_)) {}

    // Applies a scenario given as JSON text; fails the test on an error.
    void load(const std::string& scenario) {
        auto error = applyScenarioText(*desktop_, scenario, sandbox_);
        ASSERT_FALSE(error) << *error;
    }

    std::filesystem::path demoPath() const {
        return testing::sourceDir() / "desktop/sim/scenarios/demo.json";
    }

    // Journal entries of one kind, in order.
    std::vector<Json> events(const std::string& kind) const {
        std::vector<Json> result;
        for (const Json& entry : desktop_->journal()) {
            if (entry.at("event") == kind)
                result.push_back(entry);
        }
        return result;
    }

    testing::TempDir sandboxDir_;
    std::filesystem::path sandbox_ = sandboxDir_.path();
    VirtualClock clock_;
    ManualMainQueue queue_;
    std::shared_ptr<SimDesktop> desktop_;
    Desktop d_ = desktop_->desktop();  // its interfaces outlive every scenario load
};

// One editor with a focused, selected text area, one chat app with a window, both running.
inline const char* kEditorAndChat = R"({
  "frontmost": "com.example.editor",
  "applications": [
    {"bundleId": "com.example.editor", "name": "Editor", "kind": "editor", "running": true,
     "windows": [{"title": "doc", "frame": [0, 0, 800, 600], "elements": [
        {"role": "AXTextArea", "id": "doc", "value": "Hello brave new world", "settable": true,
         "focused": true, "selection": [6, 5], "frame": [0, 30, 800, 570]}]}]},
    {"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat", "running": true,
     "windows": [{"title": "ChatGPT", "frame": [900, 0, 600, 800]}]}
  ]
})";

}  // namespace orvex
