#include "app/ui/application_shell.h"

#include "app/execution/apple_script_runner.h"
#include "app/execution/execution_context.h"
#include "app/execution/preset_executor.h"
#include "app/execution/previous_app_tracker.h"
#include "app/i18n/preferred_languages.h"
#include "app/shortcuts/shortcut_manager.h"
#include "app/ui/desktop_backend.h"
#include "base/log.h"

namespace orvex {
namespace {

LocalizationOptions localizationOptionsFor(Desktop* desktop,
                                           const std::filesystem::path& localeDirectory) {
    if (desktop) {
        return localizationOptions(*desktop->userDefaults, localeDirectory);
    }
    return LocalizationOptions{localeDirectory, systemPreferredLanguages, {}};
}

std::string settingsNoticeText(const LocalizationManager& i18n, const SettingsNotice& notice) {
    switch (notice.kind) {
        case SettingsNotice::Kind::unreadableFileKept:
            return i18n.text("status.settingsReset", {{"path", notice.keptFile.string()}});
        case SettingsNotice::Kind::saveTooLarge:
            return i18n.text("status.settingsTooLarge");
        case SettingsNotice::Kind::saveFailed:
            return i18n.text("status.settingsSaveFailed", {{"reason", notice.reason}});
    }
    return {};
}

}  // namespace

ApplicationShell::ApplicationShell(ShellEnvironment environment)
    : environment_(std::move(environment)),
      settings_(environment_.paths.settingsFile()),
      notifications_(environment_.mainQueue),
      config_(environment_.execution) {
    // The language first: resolving it may write the settings file (the detected language),
    // and the factory presets of a first start are labelled in it.
    i18n_ = std::make_unique<LocalizationManager>(
        settings_, localizationOptionsFor(environment_.desktop, environment_.localeDirectory));
    settings_.setFactoryTexts(i18n_->textLookup());
    state_ = std::make_unique<AppState>(settings_, environment_.mainQueue,
                                        [this](const std::vector<PresetData>& presets) {
                                            if (shortcuts_) {
                                                shortcuts_->registerAll(presets);
                                            }
                                        });
    // The language step above may already have kept an unreadable settings file; its
    // notice waited for the status line.
    settings_.setNoticeHandler([this](const SettingsNotice& notice) {
        state_->setStatus(settingsNoticeText(*i18n_, notice), true);
    });
}

ApplicationShell::~ApplicationShell() {
    for (const TimerRef& timer : timers_) {
        timer->cancel();
    }
    commandQueue_.reset();
    if (wakeSubscription_ && environment_.desktop) {
        environment_.desktop->workspace->unsubscribe(*wakeSubscription_);
    }
}

void ApplicationShell::start() {
    if (started_) {
        return;
    }
    started_ = true;
    MainQueue& queue = environment_.mainQueue;
    Desktop* desktop = environment_.desktop;

    scheduleTestPreset();

    if (desktop) {
        scripts_ = std::make_unique<AppleScriptRunner>(*desktop->scriptHost, *desktop->keyboard,
                                                       environment_.clock, environment_.tasks);
        tracker_ = PreviousAppTracker::create(*desktop, queue, environment_.clock, *scripts_,
                                              config_, &environment_.tasks);
        context_ = std::make_unique<ExecutionContext>(
            ExecutionContext{*desktop, environment_.clock, queue, *state_, *i18n_, notifications_,
                             *scripts_, *tracker_, config_, captureDirectories_});
        executor_ = std::make_unique<PresetExecutor>(*context_, environment_.tasks);
        shortcuts_ = std::make_unique<ShortcutManager>(*desktop->hotKeys, queue, notifications_);
    } else {
        log::system("[Orvex] No desktop session: presets cannot run and hot keys are off");
    }
    if (environment_.createWindows) {
        environment_.createWindows();
    }
    if (environment_.x11OnWayland) {
        std::string notice = i18n_->text("status.x11OnWayland");
        log::system("[Orvex] " + notice);
        state_->setStatus(std::move(notice), false);
    }

    registerObservers();
    registerHotKeys();

    processor_ = std::make_unique<CommandProcessor>(CommandServices{
        *state_, *i18n_, notifications_, queue, environment_.tasks,
        [this](PresetData preset, std::function<void(std::optional<std::string>)> done) {
            runPreset(std::move(preset), std::move(done));
        },
        desktop, scripts_.get(), environment_.x11OnWayland});
    commandQueue_ = CommandQueueService::create(
        environment_.paths.commandDirectory(), queue, environment_.clock,
        [this](const CLICommand& command, CommandCompletion completion) {
            processor_->process(command, std::move(completion));
        });
    commandQueue_->start();

    if (desktop) {
        wakeSubscription_ = desktop->workspace->subscribeDidWake([this] { registerHotKeys(); });
        requireAccessibilityTrust();
    }
    offerTutorial();
}

void ApplicationShell::stopCommands() {
    commandQueue_.reset();
}

void ApplicationShell::runPreset(PresetData preset,
                                 std::function<void(std::optional<std::string>)> done) {
    ++activeRuns_;
    auto finish = [this, done = std::move(done)](std::optional<std::string> error) {
        if (done) {
            done(std::move(error));
        }
        --activeRuns_;
    };
    if (executor_) {
        executor_->start(std::move(preset), std::move(finish));
        return;
    }
    // Without a desktop there is nothing to copy from or paste into. The run still ends the
    // way every run does: on a task, with its failure in the status line.
    environment_.tasks.spawn([this, finish = std::move(finish)]() mutable {
        std::string message = i18n_->text("status.noDesktopSession");
        state_->setStatus(message, true);
        finish(std::move(message));
    });
}

void ApplicationShell::registerHotKeys() {
    if (shortcuts_) {
        shortcuts_->registerAll(state_->allPresets());
    }
}

void ApplicationShell::scheduleTestPreset() {
    if (!environment_.testPreset) {
        return;
    }
    MainQueue& queue = environment_.mainQueue;
    timers_.push_back(queue.postAfter(
        kTestPresetHideDelay, [this] { notifications_.post(notifications::hideMainWindow); }));
    timers_.push_back(queue.postAfter(kTestPresetDelay, [this, id = *environment_.testPreset] {
        for (const PresetData& preset : state_->allPresets()) {
            if (preset.id == id) {
                runPreset(preset);
                return;
            }
        }
    }));
}

void ApplicationShell::registerObservers() {
    notifications_.addObserver(notifications::executePreset, [this](const AppNotification& note) {
        if (note.preset) {
            runPreset(*note.preset);
        }
    });
    notifications_.addObserver(notifications::toggleAlwaysOnTop, [this](const AppNotification&) {
        state_->setAlwaysOnTop(!state_->alwaysOnTop());
    });
    notifications_.addObserver(notifications::tutorialCompleted, [this](const AppNotification&) {
        AppSettings stored = settings_.load();
        stored.tutorialCompleted = true;
        settings_.save(stored);
    });
}

// Without accessibility nothing can be copied, focused or pasted: the window stays away
// until the user has turned it on, then comes forward with the hot keys registered afresh.
void ApplicationShell::requireAccessibilityTrust() {
    Accessibility& accessibility = *environment_.desktop->accessibility;
    if (accessibility.isProcessTrusted(false)) {
        return;
    }
    notifications_.post(notifications::hideMainWindow);
    accessibility.isProcessTrusted(true);
    trustPoll_ = environment_.mainQueue.repeatEvery(kTrustPollInterval, [this, &accessibility] {
        if (!accessibility.isProcessTrusted(false)) {
            return;
        }
        trustPoll_->cancel();
        notifications_.post(notifications::showMainWindow);
        registerHotKeys();
    });
    timers_.push_back(trustPoll_);
}

void ApplicationShell::offerTutorial() {
    if (settings_.load().tutorialCompleted.value_or(false)) {
        return;
    }
    timers_.push_back(environment_.mainQueue.postAfter(kTutorialDelay, [this] {
        notifications_.post(notifications::showMainWindow);
        notifications_.post(notifications::startTutorial);
    }));
}

}  // namespace orvex
