#pragma once

#include <sys/types.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/main_queue.h"
#include "testing/child_process.h"
#include "tools/inputaim/desktop_tests/required_tools.h"

namespace orvex::testing {

using namespace std::chrono_literals;

// The build's programs.
std::string binary(const std::string& name);

// A main queue pumped by the test on its own thread; work may be posted from any thread.
class PumpedMainQueue final : public MainQueue {
  public:
    void post(Work work) override;
    TimerRef postAfter(Clock::Duration delay, Work work) override;
    TimerRef repeatEvery(Clock::Duration interval, Work work) override;
    bool isMainThread() const override;
    // Runs what is ready; true when something ran.
    bool runReady();

  private:
    struct Entry {
        Clock::TimePoint due;
        Clock::Duration interval;
        TimerRef timer;
        Work work;
    };
    RealClock clock_;
    std::mutex mutex_;
    std::deque<Entry> entries_;
};

// Turns Qt's event loop (the clipboard is served from it) and `queue` until `condition`
// holds or `limit` passes.
bool pumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s,
               PumpedMainQueue* queue = nullptr);
// Turns the loops for a while.
void pumpFor(std::chrono::milliseconds duration, PumpedMainQueue* queue = nullptr);

// A fresh private directory, removed with the object.
class TempDirectory {
  public:
    TempDirectory();
    ~TempDirectory();
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Writes an application entry under `dataHome`/applications.
void writeDesktopEntry(const std::filesystem::path& dataHome, const std::string& id,
                       const std::string& name, const std::string& exec,
                       const std::string& extra = {});

std::string readFile(const std::filesystem::path& path);

// Runs inputaim with the arguments; its exit code.
int runInputaim(const std::vector<std::string>& arguments);

// A window program started for a test, stopped with it.
std::unique_ptr<BackgroundChild> startWindow(const std::vector<std::string>& command,
                                             const std::map<std::string, std::string>& env = {});

}  // namespace orvex::testing
