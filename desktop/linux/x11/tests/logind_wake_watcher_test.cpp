#include "desktop/linux/x11/logind_wake_watcher.h"
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <gio/gio.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace orvex::linux_desktop {
namespace {

using namespace std::chrono_literals;

// A private bus standing in for the system bus (the watcher finds it through
// DBUS_SYSTEM_BUS_ADDRESS), with a connection that owns logind's name to send its signals.
class WakeWatcherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = getenv("DBUS_SYSTEM_BUS_ADDRESS"))
            saved_ = old;
        // Listening once its socket is there; stopped, the wrapper waits for the bus to end.
        const std::string socket = (dir_ / "bus").string();
        address_ = "unix:path=" + socket;
        daemon_ = std::make_unique<orvex::testing::BackgroundChild>(
            std::vector<std::string>{
                "/bin/sh", "-c",
                "dbus-daemon --session --nofork --address=unix:path=\"$0\" & pid=$!; "
                "trap 'kill $pid; wait $pid' TERM; "
                "while [ ! -S \"$0\" ]; do sleep 0.05; done; echo ready; wait $pid",
                socket},
            std::map<std::string, std::string>{});
        ASSERT_TRUE(daemon_->waitUntilReady(10s)) << "dbus-daemon did not start";
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);

        logind_ = g_dbus_connection_new_for_address_sync(
            address_.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        ASSERT_NE(logind_, nullptr);
        GVariant* reply = g_dbus_connection_call_sync(
            logind_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", "org.freedesktop.login1", 0u), nullptr,
            G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
        ASSERT_NE(reply, nullptr);
        g_variant_unref(reply);
    }
    void TearDown() override {
        if (logind_)
            g_object_unref(logind_);
        if (saved_) {
            setenv("DBUS_SYSTEM_BUS_ADDRESS", saved_->c_str(), 1);
        } else {
            unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        }
        daemon_.reset();
    }

    void prepareForSleep(bool goingToSleep) {
        g_dbus_connection_emit_signal(logind_, nullptr, "/org/freedesktop/login1",
                                      "org.freedesktop.login1.Manager", "PrepareForSleep",
                                      g_variant_new("(b)", goingToSleep), nullptr);
        g_dbus_connection_flush_sync(logind_, nullptr, nullptr);
    }
    bool waitForWakes(int count, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return wakes_ >= count; });
    }
    void onWake() {
        std::lock_guard lock(mutex_);
        ++wakes_;
        changed_.notify_all();
    }

    orvex::testing::TempDir dir_;
    std::string address_;
    std::unique_ptr<orvex::testing::BackgroundChild> daemon_;
    std::optional<std::string> saved_;
    GDBusConnection* logind_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    int wakes_ = 0;
};

// Hot keys are registered again after a resume; only the waking half of the signal counts.
TEST_F(WakeWatcherTest, PrepareForSleepFalseIsAWakeAndTrueIsNot) {
    auto watcher = std::make_unique<LogindWakeWatcher>([this] { onWake(); });
    ASSERT_TRUE(watcher->watching()) << watcher->problem();
    // The watcher's subscription reaches the bus on its own time: repeat until one lands.
    bool woke = false;
    for (int attempt = 0; attempt < 100 && !woke; ++attempt) {
        prepareForSleep(false);
        woke = waitForWakes(1, 50ms);
    }
    ASSERT_TRUE(woke);
    waitForWakes(100, 100ms);  // let any repeat still on its way arrive
    int before;
    {
        std::lock_guard lock(mutex_);
        before = wakes_;
    }
    // Signals from one sender arrive in order: once the wake is counted, the sleep before it
    // has been seen too.
    prepareForSleep(true);
    prepareForSleep(false);
    ASSERT_TRUE(waitForWakes(before + 1, 5s));
    watcher.reset();
    std::lock_guard lock(mutex_);
    EXPECT_EQ(wakes_, before + 1);
}

}  // namespace
}  // namespace orvex::linux_desktop
