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

std::filesystem::path demoScenario();

// Polls `condition` until it holds or `deadline` passes; whether it held.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = 20000ms);

// A private directory tree: XDG_CONFIG_HOME and HOME inside it, removed afterwards.
class Sandbox {
  public:
    Sandbox();

    const std::filesystem::path& root() const { return dir_.path(); }
    std::filesystem::path orvexDirectory() const { return root() / "config/orvex"; }
    std::filesystem::path commands() const { return orvexDirectory() / "commands"; }
    std::filesystem::path settingsFile() const { return orvexDirectory() / "settings.json"; }

    // The built `program` with `arguments`, started through env -i so that it sees no
    // display, English and this sandbox's directories only; `extra` ("NAME=value") comes
    // last and so wins.
    std::vector<std::string> command(const std::string& program,
                                     const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& extra = {}) const;
    // Runs `program` to its end.
    testing::ChildResult run(const std::string& program, const std::vector<std::string>& arguments,
                             const std::vector<std::string>& extra = {}) const;

  private:
    testing::TempDir dir_;
};

// The answer of one orvex-cli run.
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

CliResult runCli(const Sandbox& sandbox, const std::vector<std::string>& arguments);

// A running Orvex in a sandbox, its standard output and error going to files there.
class Orvex {
  public:
    // Starts orvex --verbose with `arguments` and waits until it says it runs.
    explicit Orvex(const Sandbox& sandbox, const std::vector<std::string>& arguments = {},
                   const std::vector<std::string>& extraEnvironment = {});
    ~Orvex();  // kills it if it still runs

    bool started() const { return started_; }
    std::string output() const { return readText(output_); }
    std::string log() const { return readText(log_); }  // the system log lines
    bool logContains(const std::string& text) const;
    void signal(int number);
    // The exit status (128 + signal number when killed), nullopt while it still runs at
    // the deadline.
    std::optional<int> wait(std::chrono::milliseconds deadline = 30000ms);
    // SIGTERM, then the exit status.
    std::optional<int> stop();

  private:
    std::filesystem::path output_;
    std::filesystem::path log_;
    std::unique_ptr<testing::BackgroundChild> process_;
    bool started_ = false;
};

}  // namespace orvex::e2e
