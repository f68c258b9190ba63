// The Orvex program, without windows for now: runs on Qt's event loop until SIGINT or
// SIGTERM.

#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>

#include "app/execution/web_app_override.h"
#include "app/i18n/locale_directory.h"
#include "app/ui/application_shell.h"
#include "app/ui/autostart_entry.h"
#include "app/ui/backends/desktop_factory.h"
#include "app/ui/backends/linux_desktop_backend.h"
#include "app/ui/instance_lock.h"
#include "app/ui/launch_options.h"
#include "app/ui/qt_main_queue.h"
#include "app/ui/signal_quit.h"
#include "app/ui/status_line_echo.h"
#include "app/ui/windows/desktop_windows.h"
#include "app/ui/windows/theme.h"
#include "base/app_paths.h"
#include "base/log.h"
#include "base/version.h"
#include "cli/core/cli_runner.h"

namespace {

using namespace orvex;

// The system log, copied to standard error ("--verbose").
class TeeLogSink final : public LogSink {
  public:
    explicit TeeLogSink(std::shared_ptr<LogSink> system) : system_(std::move(system)) {}
    void write(std::string_view line) override {
        system_->write(line);
        std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    }

  private:
    std::shared_ptr<LogSink> system_;
};

int fail(const std::string& message) {
    std::cerr << "orvex: " << message << std::endl;
    return 1;
}

// A second start for the same settings is how a launcher entry brings the window back:
// the running Orvex is asked through its command directory, as orvex-cli would.
int reopenRunningOrvex(const std::string& lockProblem) {
    RealClock clock;
    std::ostringstream out, err;
    CliEnvironment environment{clock, out, err};
    if (runCli({"window.show"}, environment) != 0) {
        return fail(lockProblem + "; it did not answer: " + err.str());
    }
    std::cout << "orvex: Orvex is already running; its window is shown" << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    auto parsed = parseLaunchOptions(arguments);
    // The Linux desktop's clipboard needs a GUI application, the windows a widget one; either
    // is made before anything uses Qt.
    const bool running = parsed.error.empty() && !parsed.options.help &&
                         !parsed.options.listDesktops && !parsed.options.version;
    const bool linuxDesktopWanted = running && !parsed.options.desktop && displayPresent();
    const bool windowsWanted = running && !parsed.options.headless && displayPresent();
    std::unique_ptr<QCoreApplication> application =
        createQtApplication(argc, argv, linuxDesktopWanted, windowsWanted);
    QCoreApplication::setApplicationName("orvex");
    // The desktop matches the windows to the installed entry (its name, its icon) by this.
    if (qobject_cast<QGuiApplication*>(application.get())) {
        QGuiApplication::setDesktopFileName(
            QString::fromUtf8(kDesktopEntryId.data(), kDesktopEntryId.size()));
    }
    if (!parsed.error.empty()) {
        std::cerr << "orvex: " << parsed.error << "\n\n" << launchUsage();
        return 1;
    }
    const LaunchOptions& options = parsed.options;
    if (options.help) {
        std::cout << launchUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "orvex " << kOrvexVersion << "\n";
        return 0;
    }
    if (options.listDesktops) {
        for (const std::string& desktop : availableDesktops()) {
            std::cout << desktop << "\n";
        }
        return 0;
    }
    if (options.verbose) {
        log::setSystemSink(std::make_shared<TeeLogSink>(log::systemSink()));
    }

    auto paths = resolveAppPaths();
    if (!paths.paths) {
        return fail(paths.error);
    }
    // One Orvex per settings directory: a second would answer the same command files.
    auto lock = InstanceLock::acquire(paths.paths->orvexDirectory);
    if (!lock.lock && lock.heldByAnother) {
        return reopenRunningOrvex(lock.error);
    }
    if (!lock.lock) {
        return fail(lock.error);
    }

    RealClock clock;
    QtMainQueue mainQueue(clock);
    auto tasks = std::make_unique<ThreadTaskRunner>();

    DesktopRequest request{options.desktop, options.journal, paths.paths->orvexDirectory,
                           displayPresent()};
    DesktopChoice choice = chooseDesktop(request, mainQueue, clock);
    if (!choice.error.empty()) {
        return fail(choice.error);
    }
    for (const std::string& notice : choice.notices) {
        std::cout << "orvex: " << notice << std::endl;
    }
    if (!choice.backend) {
        std::cout << "orvex: no desktop session; commands work, presets cannot run" << std::endl;
    }

    ExecutionConfig execution;
    if (choice.backend) {
        for (const std::string& id : choice.backend->chromeBundleIds()) {
            execution.chromeBundleIds.push_back(id);
        }
    }
    if (const char* testPages = std::getenv("ORVEX_TEST_WEB_APPS")) {
        if (auto problem = applyWebAppOverride(execution, testPages)) {
            return fail("ORVEX_TEST_WEB_APPS: " + *problem);
        }
    }

    // Made by the shell's start-up once its tracker exists; only with a widget application.
    std::unique_ptr<DesktopWindows> windows;
    bool restart = false;
    auto* widgets = qobject_cast<QApplication*>(application.get());
    std::function<void()> createWindows;
    ApplicationShell* shellRef = nullptr;
    if (widgets) {
        applyTheme(*widgets);
        createWindows = [&] {
            DesktopWindowsOptions windowOptions;
            windowOptions.macShortcutSymbols = options.desktop.has_value();
            windowOptions.restart = [&] {
                restart = true;
                QCoreApplication::exit(0);
            };
            windows = std::make_unique<DesktopWindows>(*shellRef, std::move(windowOptions));
        };
    }
    ApplicationShell shell(ShellEnvironment{
        mainQueue, clock, *tasks, *paths.paths, localeDirectory(),
        choice.backend ? &choice.backend->desktop() : nullptr, options.testPreset, execution,
        choice.backend && choice.backend->x11OnWayland(), std::move(createWindows)});
    shellRef = &shell;
    StatusLineEcho statusLine(
        shell.state(), [](std::string_view line) { std::cout << "orvex: " << line << std::endl; });
    SignalQuit quitOnSignal([](int signal) {
        log::system("[Orvex] Signal " + std::to_string(signal) + ", quitting");
        QCoreApplication::exit(0);
    });
    if (!quitOnSignal.installed()) {
        return fail("cannot watch for SIGINT and SIGTERM");
    }
    shell.start();
    std::cout << "orvex: running (pid " << ::getpid() << "), commands in "
              << paths.paths->commandDirectory().string() << std::endl;

    QCoreApplication::exec();

    // No new commands; the runs already going may still need the main queue (they read
    // state there), so it keeps turning until they are done.
    shell.stopCommands();
    while (shell.activeRuns() > 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 100);
    }
    tasks.reset();
    windows.reset();
    if (restart) {
        // In place, with the same arguments: the settings are saved, the lock file's
        // descriptor closes on exec so the new image takes the lock again.
        std::cout << "orvex: restarting for the new language" << std::endl;
        execv("/proc/self/exe", argv);
        return fail(std::string("cannot restart: ") + std::strerror(errno));
    }
    std::cout << "orvex: stopped" << std::endl;
    return 0;
}
