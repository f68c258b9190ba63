#include "app/execution/previous_app_tracker.h"

#include <algorithm>

#include "app/execution/ai_destination.h"
#include "app/execution/apple_script_runner.h"
#include "app/execution/execution_waits.h"
#include "app/execution/focused_element.h"
#include "base/log.h"

namespace orvex {
namespace {

bool isLive(const RunningApplicationRef& app) {
    return app && !app->isTerminated();
}

}  // namespace

const std::vector<std::string>& PreviousAppTracker::knownBrowserBundleIds() {
    static const std::vector<std::string> known = {
        "com.google.Chrome",          "com.google.Chrome.canary",
        "com.apple.Safari",           "com.apple.SafariTechnologyPreview",
        "com.microsoft.edgemac",      "com.brave.Browser",
        "company.thebrowser.Browser", "com.vivaldi.Vivaldi",
        "com.operasoftware.Opera",    "org.mozilla.firefox",
    };
    return known;
}

std::shared_ptr<PreviousAppTracker> PreviousAppTracker::create(Desktop& desktop,
                                                               MainQueue& mainQueue, Clock& clock,
                                                               AppleScriptRunner& scripts,
                                                               const ExecutionConfig& config,
                                                               TaskRunner* background) {
    std::shared_ptr<PreviousAppTracker> tracker(
        new PreviousAppTracker(desktop, mainQueue, clock, scripts, config));
    if (background) {
        background->spawn([weak = tracker->weak_from_this()] {
            if (auto strong = weak.lock()) {
                strong->browserBundleIds();
            }
        });
    }
    tracker->subscribe();
    return tracker;
}

PreviousAppTracker::PreviousAppTracker(Desktop& desktop, MainQueue& mainQueue, Clock& clock,
                                       AppleScriptRunner& scripts, const ExecutionConfig& config)
    : desktop_(desktop),
      mainQueue_(mainQueue),
      clock_(clock),
      scripts_(scripts),
      config_(config),
      myBundleId_(desktop.workspace->ownBundleIdentifier()) {}

PreviousAppTracker::~PreviousAppTracker() {
    if (subscription_) {
        desktop_.workspace->unsubscribe(*subscription_);
    }
}

void PreviousAppTracker::subscribe() {
    // The subscription holds the tracker weakly: an activation delivered after the tracker
    // is gone is dropped.
    subscription_ = desktop_.workspace->subscribeDidActivateApplication(
        [weak = weak_from_this()](RunningApplicationRef app) {
            if (auto tracker = weak.lock()) {
                tracker->handleAppActivation(app);
            }
        });
}

// ---- Records -----------------------------------------------------------------------------

RunningApplicationRef PreviousAppTracker::previousApp() const {
    std::lock_guard lock(mutex_);
    return previousApp_;
}

void PreviousAppTracker::setPreviousApp(RunningApplicationRef app) {
    std::vector<PreviousAppObserver> observers;
    {
        std::lock_guard lock(mutex_);
        previousApp_ = app;
        for (const auto& [id, observer] : previousAppObservers_) {
            observers.push_back(observer);
        }
    }
    for (PreviousAppObserver& observer : observers) {
        mainQueue_.post([observer = std::move(observer), app] { observer(app); });
    }
}

std::size_t PreviousAppTracker::addPreviousAppObserver(PreviousAppObserver observer) {
    std::lock_guard lock(mutex_);
    std::size_t id = nextObserverId_++;
    previousAppObservers_[id] = std::move(observer);
    return id;
}

void PreviousAppTracker::removePreviousAppObserver(std::size_t id) {
    std::lock_guard lock(mutex_);
    previousAppObservers_.erase(id);
}

std::vector<RunningApplicationRef> PreviousAppTracker::browserActivationHistory() const {
    std::lock_guard lock(mutex_);
    return browserActivationHistory_;
}

std::vector<std::string> PreviousAppTracker::sendTargetHistory() const {
    std::lock_guard lock(mutex_);
    return sendTargetHistory_;
}

void PreviousAppTracker::recordSendTarget(const std::string& key) {
    std::lock_guard lock(mutex_);
    std::erase(sendTargetHistory_, key);
    sendTargetHistory_.insert(sendTargetHistory_.begin(), key);
    if (sendTargetHistory_.size() > kSendTargetHistoryLimit) {
        sendTargetHistory_.pop_back();
    }
}

RunningApplicationRef PreviousAppTracker::lastFocusedBrowser() const {
    std::lock_guard lock(mutex_);
    return lastFocusedBrowser_;
}

void PreviousAppTracker::setLastFocusedBrowser(RunningApplicationRef app) {
    std::lock_guard lock(mutex_);
    lastFocusedBrowser_ = std::move(app);
}

std::set<std::string> PreviousAppTracker::webFlavorKeys() const {
    std::lock_guard lock(mutex_);
    return webFlavorKeys_;
}

bool PreviousAppTracker::hasWebFlavorKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    return webFlavorKeys_.count(key) > 0;
}

void PreviousAppTracker::insertWebFlavorKey(const std::string& key) {
    std::lock_guard lock(mutex_);
    webFlavorKeys_.insert(key);
}

void PreviousAppTracker::removeWebFlavorKey(const std::string& key) {
    std::lock_guard lock(mutex_);
    webFlavorKeys_.erase(key);
}

std::map<std::string, std::uint64_t> PreviousAppTracker::focusPollGenerations() const {
    std::lock_guard lock(mutex_);
    return focusPollGenerations_;
}

// ---- Questions and actions ---------------------------------------------------------------

bool PreviousAppTracker::isOwnAppFrontmost() {
    RunningApplicationRef front = desktop_.runningApplications->frontmostApplication();
    std::optional<std::string> frontId = front ? front->bundleIdentifier() : std::nullopt;
    if (!frontId) {
        return !myBundleId_.has_value();
    }
    return myBundleId_ == frontId;
}

void PreviousAppTracker::restorePreviousApp() {
    RunningApplicationRef app = previousApp();
    if (!app) {
        return;
    }
    app->activate(true);
    clock_.sleepFor(waits::kAfterRestoringPrevious);
}

const std::set<std::string>& PreviousAppTracker::browserBundleIds() {
    std::call_once(browserBundleIdsOnce_, [this] {
        std::set<std::string> ids(knownBrowserBundleIds().begin(), knownBrowserBundleIds().end());
        for (const std::string& id : desktop_.workspace->httpsURLHandlerBundleIds()) {
            if (!id.empty()) {
                ids.insert(id);
            }
        }
        browserBundleIds_ = std::move(ids);
    });
    return browserBundleIds_;
}

bool PreviousAppTracker::isBrowser(const std::optional<std::string>& bundleId) {
    return bundleId && browserBundleIds().count(*bundleId) > 0;
}

RunningApplicationRef PreviousAppTracker::firstLiveBrowser() const {
    for (const RunningApplicationRef& app : browserActivationHistory()) {
        if (isLive(app)) {
            return app;
        }
    }
    return nullptr;
}

RunningApplicationRef PreviousAppTracker::targetBrowser(const RunningApplicationRef& exclude) {
    std::optional<std::int32_t> excludedPid;
    if (exclude) {
        excludedPid = exclude->processIdentifier();
    }
    auto isExcluded = [&](const RunningApplicationRef& app) {
        return excludedPid && app->processIdentifier() == *excludedPid;
    };

    // The browser the user last typed in wins, even when it is the excluded one: that is
    // where the user's field is.
    if (RunningApplicationRef focused = lastFocusedBrowser(); isLive(focused)) {
        return focused;
    }
    for (const RunningApplicationRef& app : browserActivationHistory()) {
        if (isLive(app) && !isExcluded(app)) {
            return app;
        }
    }
    std::vector<RunningApplicationRef> running;
    for (const RunningApplicationRef& app : desktop_.runningApplications->runningApplications()) {
        if (isLive(app) && isBrowser(app->bundleIdentifier())) {
            running.push_back(app);
        }
    }
    if (running.empty()) {
        return firstLiveBrowser();
    }
    for (const RunningApplicationRef& app : running) {
        if (!isExcluded(app)) {
            return app;
        }
    }
    if (RunningApplicationRef live = firstLiveBrowser()) {
        return live;
    }
    return running.front();
}

// ---- Learning from activations -----------------------------------------------------------

namespace {
constexpr int kChromeTabQueryAttempts = 8;
}  // namespace

void PreviousAppTracker::handleAppActivation(const RunningApplicationRef& app) {
    if (isSending() || !app) {
        return;
    }
    std::string bundleId = app->bundleIdentifier().value_or("");
    if (myBundleId_ && *myBundleId_ == bundleId) {
        return;
    }
    setPreviousApp(app);

    if (browserBundleIds().count(bundleId)) {
        recordBrowserActivation(app);
        startFocusPoll(app, destination_ids::lastInputField, false);
    }
    if (auto destination = destinationForBundleId(bundleId)) {
        std::string key = identifier(*destination);
        recordSendTarget(key);
        removeWebFlavorKey(key);
        return;
    }
    if (config_.isChrome(bundleId)) {
        checkChromeActiveTab(app, kChromeTabQueryAttempts);
    }
}

void PreviousAppTracker::recordBrowserActivation(const RunningApplicationRef& app) {
    std::lock_guard lock(mutex_);
    std::int32_t pid = app->processIdentifier();
    std::erase_if(browserActivationHistory_, [pid](const RunningApplicationRef& entry) {
        return entry->processIdentifier() == pid;
    });
    browserActivationHistory_.insert(browserActivationHistory_.begin(), app);
    if (browserActivationHistory_.size() > kBrowserHistoryLimit) {
        browserActivationHistory_.pop_back();
    }
}

void PreviousAppTracker::checkChromeActiveTab(const RunningApplicationRef& app, int attemptsLeft) {
    std::optional<std::string> url = scripts_.chromeFrontTabURL();
    if (!url) {
        // A browser still starting, or one too busy to answer in time, fails the query; the
        // page the user came for would then never be learned.
        if (attemptsLeft > 1) {
            mainQueue_.postAfter(
                waits::kFocusPollInterval, [weak = weak_from_this(), app, attemptsLeft] {
                    auto tracker = weak.lock();
                    RunningApplicationRef front =
                        tracker ? tracker->desktop_.runningApplications->frontmostApplication()
                                : nullptr;
                    if (front && front->processIdentifier() == app->processIdentifier() &&
                        !tracker->isSending()) {
                        tracker->checkChromeActiveTab(app, attemptsLeft - 1);
                    }
                });
        }
        return;
    }
    if (auto destination = destinationForURL(*url, config_)) {
        startFocusPoll(app, identifier(appKey(*destination)), true);
    }
}

void PreviousAppTracker::startFocusPoll(const RunningApplicationRef& app, const std::string& key,
                                        bool web) {
    std::int32_t pid = app->processIdentifier();
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        generation = ++focusPollGenerations_[key];
    }
    pollFocus(generation, key, pid, app, web);
}

void PreviousAppTracker::pollFocus(std::uint64_t generation, const std::string& key,
                                   std::int32_t pid, const RunningApplicationRef& app, bool web) {
    {
        std::lock_guard lock(mutex_);
        auto current = focusPollGenerations_.find(key);
        if (current == focusPollGenerations_.end() || current->second != generation) {
            return;  // a newer poll for this key has taken over
        }
    }
    RunningApplicationRef front = desktop_.runningApplications->frontmostApplication();
    if (!front || front->processIdentifier() != pid) {
        return;  // the user has left the application
    }
    if (focusedElementIsNotTextInput(*desktop_.accessibility, pid) == FocusAnswer::no) {
        inputFocused(key, app, web);
        return;
    }
    // No limit on the number of looks: the poll lasts while the application stays in front
    // without a focused text input and no newer poll replaces it.
    mainQueue_.postAfter(waits::kFocusPollInterval,
                         [weak = weak_from_this(), generation, key, pid, app, web] {
                             if (auto tracker = weak.lock()) {
                                 tracker->pollFocus(generation, key, pid, app, web);
                             }
                         });
}

void PreviousAppTracker::inputFocused(const std::string& key, const RunningApplicationRef& app,
                                      bool web) {
    // Which way the next send for this destination goes follows from here; the line says
    // why a preset went to the browser rather than the app, or back.
    log::system("[PreviousAppTracker] Input focused for " + key +
                (web ? " in the browser" : " in its app"));
    recordSendTarget(key);
    if (key != destination_ids::lastInputField) {
        if (web) {
            insertWebFlavorKey(key);
        } else {
            removeWebFlavorKey(key);
        }
        return;
    }
    setLastFocusedBrowser(app);
}

}  // namespace orvex
