#pragma once

// Running the real programs: build/bin/orvex on a private configuration directory, driven
// by build/bin/orvex-cli. Waits here are for the other process to do something, each with
// a generous deadline so a broken build fails instead of hanging.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/json.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace orvex::e2e {

using namespace std::chrono_literals;
using testing::readText;
using Strings = std::vector<std::string>;

std::filesystem::path demoScenario();

// Polls `condition` until it holds or `deadline` passes; whether it held.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = 20000ms);

// A private directory tree, removed afterwards, for HOME and XDG_CONFIG_HOME.
class Sandbox {
  public:
    Sandbox();
    const std::filesystem::path& root() const { return dir_.path(); }
    std::filesystem::path orvexDirectory() const { return root() / "config/orvex"; }
    std::filesystem::path commands() const { return orvexDirectory() / "commands"; }
    std::filesystem::path settingsFile() const { return orvexDirectory() / "settings.json"; }

    // A built program started through env -i, so that it sees no display, English and this
    // sandbox's directories only; `extra` ("NAME=value") comes last and so wins.
    Strings command(const std::string& program, const Strings& arguments,
                    const Strings& extra = {}) const;
    testing::ChildResult run(const std::string& program, const Strings& arguments,
                             const Strings& extra = {}) const;

  private:
    testing::TempDir dir_;
};

// One orvex-cli run.
struct CliResult {
    int status = -1;
    std::string output;
    std::string errors;
    Json json;  // stdout parsed, null when it is not JSON

    bool success() const { return json.is_object() && json.value("success", false); }
    std::string message() const {
        return json.is_object() ? json.value("/data/message"_json_pointer, "") : "";
    }
    std::string error() const { return json.is_object() ? json.value("error", "") : ""; }
};

CliResult runCli(const Sandbox& sandbox, const Strings& arguments);

// orvex --verbose running in a sandbox, its standard output and error going to files there.
class Orvex {
  public:
    // Starts it and waits until it says it runs.
    explicit Orvex(const Sandbox& sandbox, const Strings& arguments = {},
                   const Strings& extraEnvironment = {});
    ~Orvex();  // kills it if it still runs

    bool started() const { return started_; }
    std::string output() const { return readText(output_); }
    std::string log() const { return readText(log_); }
    bool logContains(const std::string& text) const {
        return log().find(text) != std::string::npos;
    }
    void signal(int number);
    // The exit status (128 + signal number when killed), nullopt while it still runs.
    std::optional<int> wait(std::chrono::milliseconds deadline = 30000ms);
    std::optional<int> stop();  // SIGTERM, then the exit status

  private:
    std::filesystem::path output_;
    std::filesystem::path log_;
    std::unique_ptr<testing::BackgroundChild> process_;
    bool started_ = false;
};

}  // namespace orvex::e2e
