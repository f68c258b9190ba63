#include "app/ui/windows/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWindow>

#include "app/ui/windows/settings_container.h"

namespace orvex {
namespace {

void setText(QAction* action, LocalizationManager& i18n, const char* key) {
    action->setText(QString::fromStdString(i18n.text(key)));
}

}  // namespace

MainWindow::MainWindow(AppState& state, LocalizationManager& i18n,
                       NotificationCenter& notifications, MainViewHooks viewHooks,
                       MenuActions actions, MainWindowHooks hooks,
                       SettingsScreenHooks settingsHooks, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      i18n_(i18n),
      notifications_(notifications),
      viewHooks_(std::move(viewHooks)),
      actions_(std::move(actions)),
      hooks_(std::move(hooks)) {
    setWindowTitle(QStringLiteral("Orvex"));
    pages_ = new QStackedWidget(this);
    pages_->setMinimumSize(kContentWidth, kContentHeight);
    mainArea_ = new QWidget(pages_);
    auto* areaLayout = new QVBoxLayout(mainArea_);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    mainView_ = new MainView(state_, i18n_, notifications_, viewHooks_, mainArea_);
    areaLayout->addWidget(mainView_);
    if (!settingsHooks.shortcutText) {
        settingsHooks.shortcutText = viewHooks_.shortcutText;
    }
    settings_ =
        new SettingsContainer(state_, i18n_, notifications_, std::move(settingsHooks), pages_);
    pages_->addWidget(mainArea_);
    pages_->addWidget(settings_);
    setCentralWidget(pages_);

    buildMenus();
    retranslate();
    resize(minimumSizeHint());

    stateObserver_ = state_.addObserver({{}, [this](StateField field) {
                                             if (field == StateField::alwaysOnTop) {
                                                 syncChecks();
                                             }
                                         }});
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { retranslate(); }, Qt::QueuedConnection);
    });
}

MainWindow::~MainWindow() {
    state_.removeObserver(stateObserver_);
    i18n_.removeObserver(languageObserver_);
}

QAction* MainWindow::addAction(QMenu* menu, const std::function<void()>& action) {
    QAction* item = menu->addAction(QString());
    connect(item, &QAction::triggered, this, [action] {
        if (action) {
            action();
        }
    });
    return item;
}

void MainWindow::buildMenus() {
    appMenu_ = menuBar()->addMenu(QString());
    about_ = addAction(appMenu_, actions_.about);
    about_->setMenuRole(QAction::AboutRole);
    appMenu_->addSeparator();
    startAtLogin_ = appMenu_->addAction(QString());
    startAtLogin_->setCheckable(true);
    startAtLogin_->setEnabled(actions_.startsAtLogin && actions_.setStartAtLogin);
    connect(startAtLogin_, &QAction::triggered, this, [this](bool checked) {
        actions_.setStartAtLogin(checked);
        syncChecks();
    });
    // The entry may have been removed or made outside Orvex since the menu last showed.
    connect(appMenu_, &QMenu::aboutToShow, this, [this] { syncChecks(); });
    appMenu_->addSeparator();
    quit_ = addAction(appMenu_, actions_.quit);
    quit_->setMenuRole(QAction::QuitRole);
    quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    presetsMenu_ = menuBar()->addMenu(QString());
    export_ = addAction(presetsMenu_, actions_.exportSettings);
    import_ = addAction(presetsMenu_, actions_.importSettings);
    presetsMenu_->addSeparator();
    reset_ = addAction(presetsMenu_, actions_.resetPresets);

    viewMenu_ = menuBar()->addMenu(QString());
    alwaysOnTop_ = addAction(viewMenu_, actions_.toggleAlwaysOnTop);
    alwaysOnTop_->setCheckable(true);
    // The check mark shows the state, not the click: whatever the action made of it.
    connect(alwaysOnTop_, &QAction::triggered, this, [this] { syncChecks(); });
    languageMenu_ = viewMenu_->addMenu(QString());
    auto* languages = new QActionGroup(this);
    for (auto [item, code] : {std::pair{&japanese_, "ja"}, std::pair{&english_, "en"}}) {
        *item = languageMenu_->addAction(QString());
        (*item)->setCheckable(true);
        languages->addAction(*item);
        connect(*item, &QAction::triggered, this, [this, code = std::string(code)] {
            if (actions_.setLanguage) {
                actions_.setLanguage(code);
            }
            syncChecks();
        });
    }

    helpMenu_ = menuBar()->addMenu(QString());
    openHelp_ = addAction(helpMenu_, actions_.openHelp);
    openHelp_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    tutorial_ = addAction(helpMenu_, actions_.startTutorial);
    helpMenu_->addSeparator();
    website_ = addAction(helpMenu_, actions_.openWebsite);
    askAI_ = addAction(helpMenu_, actions_.openAskAI);
}

void MainWindow::retranslate() {
    appMenu_->setTitle(QString::fromStdString(i18n_.text("menu.appMenu")));
    viewMenu_->setTitle(QString::fromStdString(i18n_.text("menu.viewMenu")));
    setText(about_, i18n_, "menu.about");
    setText(startAtLogin_, i18n_, "menu.startAtLogin");
    setText(alwaysOnTop_, i18n_, "menu.alwaysOnTop");
    languageMenu_->setTitle(QString::fromStdString(i18n_.text("menu.language")));
    setText(japanese_, i18n_, "menu.langJa");
    setText(english_, i18n_, "menu.langEn");
    setText(quit_, i18n_, "menu.quit");
    presetsMenu_->setTitle(QString::fromStdString(i18n_.text("menu.presetsMenu")));
    setText(export_, i18n_, "menu.exportPresets");
    setText(import_, i18n_, "menu.importPresets");
    setText(reset_, i18n_, "menu.resetPresets");
    helpMenu_->setTitle(QString::fromStdString(i18n_.text("menu.helpMenu")));
    setText(openHelp_, i18n_, "menu.openHelp");
    setText(tutorial_, i18n_, "menu.tutorial");
    setText(website_, i18n_, "menu.website");
    setText(askAI_, i18n_, "menu.askAI");
    syncChecks();
}

void MainWindow::syncChecks() {
    alwaysOnTop_->setChecked(state_.alwaysOnTop());
    startAtLogin_->setChecked(actions_.startsAtLogin && actions_.startsAtLogin());
    const std::string lang = i18n_.currentLang();
    japanese_->setChecked(lang == "ja");
    english_->setChecked(lang == "en");
}

void MainWindow::showSettings(bool settings) {
    pages_->setCurrentWidget(settings ? static_cast<QWidget*>(settings_) : mainArea_);
    QWidget* focus = settings ? settings_->firstFocus() : mainView_->firstFocus();
    if (focus) {
        focus->setFocus(Qt::OtherFocusReason);
    }
}

bool MainWindow::settingsShown() const {
    return pages_->currentWidget() == settings_;
}

void MainWindow::setAlwaysOnTop(bool onTop) {
    Qt::WindowFlags flags = windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == onTop) {
        return;
    }
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    QWindow* native = windowHandle();
    if (native && isVisible()) {
        // Changing the widget's flags re-creates the native window, which hides it and
        // loses its place; the native window passes the hint on as it stands.
        overrideWindowFlags(flags);
        native->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

void MainWindow::rebuildMainView() {
    auto* fresh = new MainView(state_, i18n_, notifications_, viewHooks_, mainArea_);
    const bool hadFocus = mainView_->isAncestorOf(focusWidget());
    mainArea_->layout()->replaceWidget(mainView_, fresh);
    mainView_->hide();
    mainView_->deleteLater();
    mainView_ = fresh;
    if (hadFocus) {
        mainView_->firstFocus()->setFocus(Qt::OtherFocusReason);
    }
}

QWidget* MainWindow::mainViewArea() const {
    return mainArea_;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (hooks_.closeRequested) {
        hooks_.closeRequested();
    } else {
        hide();
    }
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && hooks_.windowBecameKey) {
        hooks_.windowBecameKey();
    }
    return QMainWindow::event(event);
}

}  // namespace orvex
