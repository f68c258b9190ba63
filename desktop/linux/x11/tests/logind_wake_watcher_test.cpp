#include "desktop/linux/x11/logind_wake_watcher.h"
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <gio/gio.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>

namespace orvex::linux_desktop {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A private bus standing in for the system bus (the watcher finds it through
// DBUS_SYSTEM_BUS_ADDRESS), with a connection that owns logind's name to send its signals.
class WakeWatcherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvex-bus-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        // Our own child, so the fixture can stop it and wait for it to be gone.
        int out[2];
        ASSERT_EQ(pipe(out), 0);
        const std::string listen = "--address=unix:path=" + (dir_ / "bus").string();
        pid_t child = fork();
        if (child == 0) {
            dup2(out[1], STDOUT_FILENO);
            execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1",
                   listen.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        daemon_ = child;
        // The address is printed once the bus listens.
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') {
            address_ += c;
        }
        close(out[0]);
        ASSERT_TRUE(daemon_ && !address_.empty()) << "dbus-daemon did not start";
        if (const char* old = getenv("DBUS_SYSTEM_BUS_ADDRESS")) {
            saved_ = old;
        }
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
        if (logind_) {
            g_object_unref(logind_);
        }
        if (saved_) {
            setenv("DBUS_SYSTEM_BUS_ADDRESS", saved_->c_str(), 1);
        } else {
            unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        }
        if (daemon_) {
            kill(*daemon_, SIGTERM);
            waitpid(*daemon_, nullptr, 0);
        }
        fs::remove_all(dir_);
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

    fs::path dir_;
    std::string address_;
    std::optional<pid_t> daemon_;
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
