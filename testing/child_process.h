#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace orvex::testing {

struct ChildResult {
    int exitCode = -1;  // -1 when it had to be killed
    std::string out;
    std::string err;
};

// This process's environment with `overrides` put over it, as "NAME=value" entries.
std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& overrides);

// Runs a program to its end, reading both pipes as they fill; kills it after `limit`.
ChildResult runChild(const std::vector<std::string>& command,
                     const std::map<std::string, std::string>& environment,
                     std::chrono::milliseconds limit);

// A long-running program (a test window) that prints "ready" once it is up.
class BackgroundChild {
  public:
    BackgroundChild(const std::vector<std::string>& command,
                    const std::map<std::string, std::string>& environment);
    ~BackgroundChild();
    BackgroundChild(const BackgroundChild&) = delete;
    BackgroundChild& operator=(const BackgroundChild&) = delete;

    bool waitUntilReady(std::chrono::milliseconds limit);
    pid_t pid() const { return pid_; }
    void stop();

  private:
    pid_t pid_ = -1;
    int outFd_ = -1;
};

}  // namespace orvex::testing
