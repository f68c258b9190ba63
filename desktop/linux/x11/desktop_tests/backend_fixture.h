#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <memory>

#include "desktop/linux/x11/desktop_tests/desktop_test_support.h"
#include "desktop/linux/x11/linux_desktop.h"
#include "desktop/linux/x11/x11_windows.h"

namespace orvex::testing {

// A Linux desktop backend inside the test session, with desktop entries of its own: the
// editor "org.orvex.TestEditor" and the chat "com.openai.codex", both the test window
// program. The windows are started by the tests.
class BackendFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            ORVEX_SKIP_UNLESS_REQUIRED("needs scripts/with-desktop-session");
        ASSERT_FALSE(home_.path().empty());
        dataHome_ = home_.path() / "data";
        setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
        recordFile_ = home_.path() / "received.jsonl";
        writeDesktopEntry(dataHome_, "org.orvex.TestEditor", "Test Editor",
                          binary("orvex-test-chat-window") + " --editor hello");
        writeDesktopEntry(dataHome_, "com.openai.codex", "Test Chat",
                          binary("orvex-test-chat-window") + " --record " + recordFile_.string());
        auto created =
            linux_desktop::LinuxDesktop::create(queue_, clock_, {home_.path() / "orvex", {}});
        ASSERT_TRUE(created.desktop) << created.error;
        backend_ = std::move(created.desktop);
    }
    void TearDown() override {
        windows_.clear();
        backend_.reset();
    }

    Desktop& desktop() { return backend_->desktop(); }

    // Starts the editor or the chat window directly, as their desktop entries would (one
    // program serves both, so the entry it was launched from tells them apart).
    BackgroundChild& startEditor(const std::string& text) {
        return keep(startWindow({binary("orvex-test-chat-window"), "--editor", text},
                                launchedFrom("org.orvex.TestEditor")));
    }
    BackgroundChild& startChat() {
        return keep(
            startWindow({binary("orvex-test-chat-window"), "--record", recordFile_.string()},
                        launchedFrom("com.openai.codex")));
    }
    std::map<std::string, std::string> launchedFrom(const std::string& id) {
        return {{"GIO_LAUNCHED_DESKTOP_FILE",
                 (dataHome_ / "applications" / (id + ".desktop")).string()}};
    }
    BackgroundChild& keep(std::unique_ptr<BackgroundChild> child) {
        EXPECT_TRUE(child) << "a test window did not start";
        if (!child)
            throw std::runtime_error("test window did not start");
        windows_.push_back(std::move(child));
        return *windows_.back();
    }

    // Minimizes the process's window and waits until the window manager says so.
    bool minimize(pid_t pid) {
        kill(pid, SIGUSR1);
        std::string problem;
        auto display = linux_desktop::X11Display::open(&problem);
        linux_desktop::X11Windows windows(*display);
        return pumpUntil([&] {
            for (const auto& window : windows.clients()) {
                if (window.pid == pid && window.hidden)
                    return true;
            }
            return false;
        });
    }
    bool frontmostIs(pid_t pid) {
        auto front = desktop().runningApplications->frontmostApplication();
        return front && front->processIdentifier() == pid;
    }

    TempDirectory home_;
    std::filesystem::path dataHome_;
    std::filesystem::path recordFile_;
    RealClock clock_;
    PumpedMainQueue queue_;
    std::unique_ptr<linux_desktop::LinuxDesktop> backend_;
    std::vector<std::unique_ptr<BackgroundChild>> windows_;
};

}  // namespace orvex::testing
