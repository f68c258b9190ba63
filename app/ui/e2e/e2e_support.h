#pragma once

// Running the real programs: build/bin/orvex on a private configuration directory, driven
// by build/bin/orvex-cli. Waits here are for the other process to do something, each with
// a generous deadline so a broken build fails instead of hanging.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "testing/temp_dir.h"
#include "base/json.h"

namespace orvex::e2e {

using namespace std::chrono_literals;

std::filesystem::path binaryDirectory();
std::filesystem::path sourceDirectory();
std::filesystem::path orvexProgram();
std::filesystem::path cliProgram();
std::filesystem::path demoScenario();

using testing::readText;
// Writes as orvex-cli does: a temporary file moved into place, mode 0600.
void writeFileAtomically(const std::filesystem::path& path, const std::string& text);

// Polls `condition` until it holds or `deadline` passes; whether it held.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = 20000ms);

// A private directory tree: XDG_CONFIG_HOME and HOME inside it, removed afterwards.
class Sandbox {
  public:
    Sandbox();

    const std::filesystem::path& root() const { return dir_.path(); }
    std::filesystem::path configHome() const { return root() / "config"; }
    std::filesystem::path orvexDirectory() const { return configHome() / "orvex"; }
    std::filesystem::path commands() const { return orvexDirectory() / "commands"; }
    std::filesystem::path settingsFile() const { return orvexDirectory() / "settings.json"; }

    // The environment both programs run with: no display, English, this sandbox's
    // directories; `extra` entries ("NAME=value") are added or replace ones of the same name.
    std::vector<std::string> environment(const std::vector<std::string>& extra = {}) const;

  private:
    testing::TempDir dir_;
};

// A child process with its standard output and error going to files.
class ChildProcess {
  public:
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment,
                 const std::filesystem::path& outputFile, const std::filesystem::path& errorFile);
    ~ChildProcess();  // kills the process if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    void signal(int signal);
    // The exit status (128 + signal number when killed), or nullopt if it is still running
    // at the deadline.
    std::optional<int> wait(std::chrono::milliseconds deadline = 30000ms);
    std::string output() const { return readText(outputFile_); }
    std::string errors() const { return readText(errorFile_); }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    std::filesystem::path outputFile_;
    std::filesystem::path errorFile_;
};

// The answer of one orvex-cli run.
struct CliResult {
    int status = -1;
    std::string output;
    std::string errors;
    Json json;  // stdout parsed, null when it is not JSON

    bool success() const;
    std::string message() const;
    std::string error() const;
};

// One orvex-cli run in the sandbox's environment.
CliResult runCli(const Sandbox& sandbox, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& extraEnvironment = {});

// A running Orvex in a sandbox.
class Orvex {
  public:
    // Starts build/bin/orvex --verbose with `arguments` and waits until it says it runs.
    explicit Orvex(Sandbox& sandbox, const std::vector<std::string>& arguments = {},
                   const std::vector<std::string>& extraEnvironment = {});

    bool started() const { return started_; }
    ChildProcess& process() { return *process_; }
    // Standard output and error so far (error holds the system log lines).
    std::string output() const { return process_->output(); }
    std::string log() const { return process_->errors(); }
    bool logContains(const std::string& text) const;
    // SIGTERM, then the exit status.
    std::optional<int> stop();

  private:
    std::unique_ptr<ChildProcess> process_;
    bool started_ = false;
};

}  // namespace orvex::e2e
