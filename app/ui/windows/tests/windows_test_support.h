#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "app/ui/application_shell.h"
#include "base/manual_main_queue.h"
#include "base/task_runner.h"
#include "testing/source_tree.h"
#include "testing/temp_dir.h"

namespace orvex {

// One application object for the whole binary; it is never destroyed, so no widget can
// outlive it.
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "windows_tests";
    static char* argv[] = {name, nullptr};
    static auto* application = new QApplication(argc, argv);
    return *application;
}

// The real state, texts and notifications without a desktop, on a hand-turned main queue,
// from a settings file written before start.
class WindowsTest : public ::testing::Test {
  protected:
    explicit WindowsTest(const std::string& settingsJson = R"({"language": "en", "presets": []})") {
        testApplication();
        std::filesystem::create_directories(temp / "orvex");
        testing::writeText(temp / "orvex" / "settings.json", settingsJson);
        app = std::make_unique<ApplicationShell>(ShellEnvironment{
            queue, clock, tasks, AppPaths{temp / "orvex"},
            testing::sourceDir() / "app/i18n/resources/locales", nullptr, std::nullopt});
    }
    // Runs the notifications and the queued Qt calls (language changes).
    void settle() {
        for (int round = 0; round < 3; ++round) {
            queue.runUntilIdle();
            QCoreApplication::sendPostedEvents();
        }
    }
    QString text(const char* key) { return QString::fromStdString(app->i18n().text(key)); }

    // The visible control named `name` for assistive tools, or none.
    template <class T = QWidget>
    static T* named(QWidget& root, const QString& name) {
        for (T* widget : root.findChildren<T*>()) {
            if (widget->accessibleName() == name && widget->isVisibleTo(&root)) {
                return widget;
            }
        }
        return nullptr;
    }

    testing::TempDir temp;
    VirtualClock clock;
    ManualMainQueue queue{clock};
    ManualTaskRunner tasks;
    std::unique_ptr<ApplicationShell> app;
};

}  // namespace orvex
