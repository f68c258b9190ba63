// orvex-screenshots OUTDIR: the real windows of Orvex on the simulated demo desktop, put in
// each state a person should look at, written as PNG files. scripts/screenshots runs it
// inside a private desktop session.

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <iostream>

#include "app/i18n/locale_directory.h"
#include "app/ui/application_shell.h"
#include "app/ui/backends/sim_desktop_backend.h"
#include "app/ui/qt_main_queue.h"
#include "app/ui/windows/about_box.h"
#include "app/ui/windows/desktop_windows.h"
#include "app/ui/windows/help_window.h"
#include "app/ui/windows/main_window.h"
#include "app/ui/windows/preset_editor.h"
#include "app/ui/windows/settings_container.h"
#include "app/ui/windows/settings_dialogs.h"
#include "app/ui/windows/settings_screen.h"
#include "app/ui/windows/shortcut_capture_field.h"
#include "app/ui/windows/theme.h"
#include "app/ui/windows/tray_icon.h"
#include "app/ui/windows/tutorial_overlay.h"
#include "base/app_paths.h"
#include "base/clock.h"
#include "base/task_runner.h"

namespace {

using namespace orvex;

// Lets the windows lay out and paint, and the window manager place them.
void settle(int milliseconds = 400) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

class Camera {
  public:
    explicit Camera(QDir directory) : directory_(std::move(directory)) {}

    // The window as the screen shows it, frame excluded.
    void shoot(QWidget& widget, const QString& name) {
        settle();
        QPixmap picture = widget.grab();
        const QString path = directory_.filePath(name + ".png");
        if (!picture.save(path)) {
            std::cerr << "orvex-screenshots: cannot write " << path.toStdString() << "\n";
            failures_++;
            return;
        }
        std::cout << path.toStdString() << "\n";
    }
    int failures() const { return failures_; }

  private:
    QDir directory_;
    int failures_ = 0;
};

PresetItem folder(const std::string& id, const std::string& label, bool open) {
    return {FolderItem{"folder", id, label, open}};
}

// The factory presets, with two of them in a folder, so that a folder shows.
std::vector<PresetItem> withFolder(std::vector<PresetData> presets, bool open) {
    std::vector<PresetItem> items{folder("F1", "Writing", open)};
    for (std::size_t i = 0; i < presets.size(); ++i) {
        if (i < 2) {
            presets[i].folderId = "F1";
        }
        items.push_back({presets[i]});
    }
    return items;
}

// One preset of each action, two of them in a folder, for the settings screen.
std::vector<PresetItem> settingsPresets(const std::vector<PresetData>& factory) {
    std::vector<PresetItem> items{folder("F1", "Writing", true)};
    PresetData ai = factory.front();
    ai.folderId = "F1";
    ai.destinations = {"chatgpt-app", "terminal"};
    ai.fixedPrompt = "Translate into plain English:";
    items.push_back({ai});
    PresetData second = factory.at(1);
    second.folderId = "F1";
    items.push_back({second});
    PresetData app = newBlankPreset();
    app.id = "app";
    app.label = "Bring up the browser";
    app.appName = "Firefox";
    app.shortcut = "Control+Alt+B";
    PresetData file = newBlankPreset();
    file.id = "file";
    file.label = "Open the weekly notes";
    file.filePath = "/home/user/Documents/weekly-notes.md";
    PresetData create = newBlankPreset();
    create.id = "create";
    create.label = "New Markdown file";
    create.createFile = true;
    create.fileExt = "md";
    for (const PresetData& preset : {app, file, create}) {
        items.push_back({preset});
    }
    return items;
}

// The settings page: the list with a folder, the editor of each action, the shortcut field
// focused and warning, and each question the screen asks.
void shootSettings(Camera& camera, MainWindow& main, AppState& state, LocalizationManager& i18n,
                   const std::vector<PresetData>& factory, const QString& lang) {
    state.setPresets(settingsPresets(factory));
    main.showSettings(true);
    SettingsScreen& screen = *main.settingsPage()->screen();
    screen.select(factory.front().id);
    camera.shoot(main, "settings-" + lang + "-list");
    const std::pair<std::string, const char*> editors[] = {{factory.front().id, "ai"},
                                                           {"app", "app"},
                                                           {"file", "open-file"},
                                                           {"create", "create-file"}};
    for (const auto& [id, name] : editors) {
        screen.editPreset(id);
        camera.shoot(main, "settings-" + lang + "-editor-" + name);
    }
    screen.editPreset(factory.front().id);
    if (auto* field = main.findChild<ShortcutCaptureField*>()) {
        // The field sits at the end of the form, placed once the editor is laid out.
        settle();
        if (auto* scroll = screen.editor()->findChild<QScrollArea*>()) {
            scroll->ensureWidgetVisible(field);
        }
        field->setFocus(Qt::MouseFocusReason);
        camera.shoot(main, "settings-" + lang + "-shortcut-focused");
        QKeyEvent keypad(QEvent::KeyPress, Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
        QApplication::sendEvent(field, &keypad);
        camera.shoot(main, "settings-" + lang + "-shortcut-warning");
    }
    screen.confirmLeave();

    const auto text = [&](const char* key, const TextParams& params = {}) {
        return QString::fromStdString(i18n.text(key, params));
    };
    const std::pair<Confirmation, const char*> questions[] = {
        {{text("settings.deletePresetConfirm", {{"name", factory.front().label}}), QString(),
          text("dialog.delete"), text("dialog.cancel"), true},
         "delete-preset"},
        {{text("settings.deleteGroupConfirm", {{"name", "Writing"}}), QString(),
          text("dialog.delete"), text("dialog.cancel"), true},
         "delete-folder"},
        {{text("settings.discardConfirm"), text("settings.discardDetail"),
          text("settings.discardBtn"), text("dialog.cancel"), true},
         "discard"}};
    for (const auto& [question, name] : questions) {
        ConfirmationBox box = buildConfirmationBox(&main, question);
        box.box->show();
        camera.shoot(*box.box, "settings-" + lang + "-confirm-" + name);
        box.box->hide();
        delete box.box;
    }
    main.showSettings(false);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: orvex-screenshots OUTDIR SCENARIO.json\n";
        return 2;
    }
    QApplication application(argc, argv);
    applyTheme(application);
    QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(".")) {
        std::cerr << "orvex-screenshots: cannot make " << argv[1] << "\n";
        return 1;
    }
    QDir scratch(QDir::temp().filePath("orvex-screenshots-" + QString::number(getpid())));
    scratch.mkpath("orvex");
    const std::filesystem::path home = scratch.path().toStdString();

    RealClock clock;
    QtMainQueue queue(clock);
    ThreadTaskRunner tasks;
    auto sim =
        SimDesktopBackend::create(argv[2], home / "sim", home / "journal.jsonl", queue, clock);
    if (!sim.backend) {
        std::cerr << "orvex-screenshots: " << sim.error << "\n";
        return 1;
    }
    std::unique_ptr<DesktopWindows> windows;
    ApplicationShell* shellRef = nullptr;
    ApplicationShell shell(ShellEnvironment{
        queue, clock, tasks, AppPaths{home / "orvex"}, localeDirectory(), &sim.backend->desktop(),
        std::nullopt, ExecutionConfig{}, false, [&] {
            DesktopWindowsOptions options;
            options.macShortcutSymbols = true;  // the simulated desktop is a Mac
            windows = std::make_unique<DesktopWindows>(*shellRef, std::move(options));
        }});
    shellRef = &shell;
    // A first start would run the tutorial on its own; it is shot on purpose below.
    AppSettings stored = shell.settings().load();
    stored.tutorialCompleted = true;
    stored.language = "en";
    shell.settings().save(stored);
    shell.i18n().loadLanguage("en");
    shell.start();

    Camera camera(out);
    AppState& state = shell.state();
    MainWindow& main = windows->mainWindow();
    windows->windowShell().showMainWindow();
    const std::vector<PresetData> factory = state.allPresets();

    state.setPresets(withFolder(factory, true));
    camera.shoot(main, "main-en-folder-open");
    state.setPresets(withFolder(factory, false));
    camera.shoot(main, "main-en-folder-closed");
    state.setPresets(withFolder(factory, true));

    struct StatusShot {
        const char* name;
        std::string message;
        bool error;
    };
    for (const StatusShot& shot :
         {StatusShot{"status-error", shell.i18n().text("status.noSelection"), true},
          StatusShot{"status-success", "Sent.", false}, StatusShot{"status-neutral", "", false}}) {
        state.setStatus(shot.message, shot.error);
        camera.shoot(main, shot.name);
    }

    windows->windowShell().startTutorial();
    settle();
    if (auto* tutorial = main.findChild<TutorialOverlay*>()) {
        camera.shoot(main, "tutorial-step1");
        for (int step = 1; step < TutorialOverlay::kSteps; ++step) {
            tutorial->next();
        }
        camera.shoot(main, "tutorial-step6");
        tutorial->skip();
    }

    windows->windowShell().openHelp();
    if (HelpWindow* help = windows->helpWindow()) {
        camera.shoot(*help, "help-contents");
        help->openChapter(2);
        camera.shoot(*help, "help-chapter");
        help->showContents();
        if (auto* search = help->findChild<QLineEdit*>()) {
            search->setText("zzzz");
        }
        camera.shoot(*help, "help-no-result");
        help->close();
    }

    auto about = makeAboutBox(&main, shell.i18n());
    about->show();
    camera.shoot(*about, "about");
    about.reset();

    LocalizationManager& i18n = shell.i18n();
    ConfirmationBox reset = buildConfirmationBox(
        &main, Confirmation{QString::fromStdString(i18n.text("dialog.resetConfirm")),
                            QString::fromStdString(i18n.text("dialog.resetDetail")),
                            QString::fromStdString(i18n.text("dialog.resetBtn")),
                            QString::fromStdString(i18n.text("dialog.cancel")), true});
    reset.box->show();
    camera.shoot(*reset.box, "reset-confirmation");
    reset.box->hide();
    delete reset.box;

    if (TrayIcon* tray = windows->tray()) {
        tray->handleActivation(QSystemTrayIcon::Context);
        settle();
        if (QMenu* menu = tray->openMenu()) {
            camera.shoot(*menu, "tray-menu");
            menu->close();
        }
    } else {
        std::cerr << "orvex-screenshots: no tray in this session, no tray menu shot\n";
    }

    // The application menu, with Start at Login (off: the scratch home has no entry).
    if (QMenu* appMenu = main.menuBar()->actions().front()->menu()) {
        appMenu->popup(main.mapToGlobal(QPoint(0, main.menuBar()->height())));
        camera.shoot(*appMenu, "app-menu");
        appMenu->close();
    }

    shootSettings(camera, main, state, i18n, factory, "en");
    state.setPresets(withFolder(factory, true));

    // Japanese last: the language switch rebuilds every text in place.
    i18n.loadLanguage("ja");
    state.setStatus("", false);
    camera.shoot(main, "main-ja");
    shootSettings(camera, main, state, i18n, factory, "ja");

    windows.reset();
    scratch.removeRecursively();
    return camera.failures() == 0 ? 0 : 1;
}
