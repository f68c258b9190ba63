#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;
typedef struct _GDBusConnection GDBusConnection;

namespace orvex::linux_desktop {

// Tells when the machine has woken: logind's PrepareForSleep(false) on the system bus.
// Without a system bus (containers, minimal sessions) it never calls, and says why in
// `problem()`; that is not an error.
class LogindWakeWatcher {
  public:
    explicit LogindWakeWatcher(std::function<void()> onWake);
    ~LogindWakeWatcher();
    LogindWakeWatcher(const LogindWakeWatcher&) = delete;
    LogindWakeWatcher& operator=(const LogindWakeWatcher&) = delete;

    bool watching() const { return bus_ != nullptr; }
    const std::string& problem() const { return problem_; }

  private:
    std::function<void()> onWake_;
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    GDBusConnection* bus_ = nullptr;
    unsigned int subscription_ = 0;
    std::string problem_;
    std::thread thread_;
};

}  // namespace orvex::linux_desktop
