#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/execution/execution_config.h"
#include "base/clock.h"
#include "base/main_queue.h"
#include "base/task_runner.h"
#include "desktop/desktop.h"

namespace orvex {

class AppleScriptRunner;

// Watches which application the user brings forward and keeps the little history a send
// needs: the application before this one, recent browsers, recent destinations, which AI
// services were last used as web pages, and the browser the user last typed in.
//
// Activations and the focus polls run on the main queue. The records are also read and
// written by a preset run's task (destination choice, routes), so they sit behind one
// mutex; no desktop call is made while it is held.
class PreviousAppTracker : public std::enable_shared_from_this<PreviousAppTracker> {
  public:
    using PreviousAppObserver = std::function<void(const RunningApplicationRef& app)>;

    static constexpr std::size_t kBrowserHistoryLimit = 5;
    static constexpr std::size_t kSendTargetHistoryLimit = 10;

    // The browsers recognised even when they are not registered for https links.
    static const std::vector<std::string>& knownBrowserBundleIds();

    // Subscribes to the workspace's activations. With `background`, the browser set is
    // computed there right away, so the first activation does not wait for it. Every
    // reference must outlive the tracker.
    static std::shared_ptr<PreviousAppTracker> create(Desktop& desktop, MainQueue& mainQueue,
                                                      Clock& clock, AppleScriptRunner& scripts,
                                                      const ExecutionConfig& config,
                                                      TaskRunner* background = nullptr);
    ~PreviousAppTracker();
    PreviousAppTracker(const PreviousAppTracker&) = delete;
    PreviousAppTracker& operator=(const PreviousAppTracker&) = delete;

    // ---- Records ---------------------------------------------------------------------
    RunningApplicationRef previousApp() const;
    // Observers hear of every assignment, on the main queue.
    void setPreviousApp(RunningApplicationRef app);
    std::size_t addPreviousAppObserver(PreviousAppObserver observer);
    void removePreviousAppObserver(std::size_t id);

    // Most recent first, at most five, one entry per process.
    std::vector<RunningApplicationRef> browserActivationHistory() const;
    // Destination identifiers, most recent first, at most ten, no repeats.
    std::vector<std::string> sendTargetHistory() const;
    // Moves `key` to the front of sendTargetHistory.
    void recordSendTarget(const std::string& key);

    RunningApplicationRef lastFocusedBrowser() const;
    void setLastFocusedBrowser(RunningApplicationRef app);

    // App keys whose service the user last used as a web page.
    std::set<std::string> webFlavorKeys() const;
    bool hasWebFlavorKey(const std::string& key) const;
    void insertWebFlavorKey(const std::string& key);
    void removeWebFlavorKey(const std::string& key);

    const std::optional<std::string>& myBundleId() const { return myBundleId_; }

    // Set while someone else moves the focus on purpose (a send, the open status menu):
    // activations are then not learned from.
    bool isSending() const { return isSending_.load(); }
    void setIsSending(bool sending) { isSending_.store(sending); }

    // The current generation of the focus poll per destination key.
    std::map<std::string, std::uint64_t> focusPollGenerations() const;

    // ---- Questions and actions -------------------------------------------------------
    // Whether this application is in front (see the rule for missing identifiers there).
    bool isOwnAppFrontmost();
    // Brings previousApp back in front of everything and gives it a moment to settle;
    // nothing when there is none. Blocks the calling task for the wait.
    void restorePreviousApp();
    // The browser a send to the last input field goes to, preferring one other than
    // `exclude`; none when no browser is known or running.
    RunningApplicationRef targetBrowser(const RunningApplicationRef& exclude);
    // The known browsers plus every application the workspace lists for https links;
    // computed once per tracker, safely from any thread.
    const std::set<std::string>& browserBundleIds();
    bool isBrowser(const std::optional<std::string>& bundleId);

    // The activation handler; called on the main queue by the workspace subscription.
    void handleAppActivation(const RunningApplicationRef& app);

  private:
    PreviousAppTracker(Desktop& desktop, MainQueue& mainQueue, Clock& clock,
                       AppleScriptRunner& scripts, const ExecutionConfig& config);

    void subscribe();
    void recordBrowserActivation(const RunningApplicationRef& app);
    // `attemptsLeft`: a failed query of the front tab is asked again while the browser stays
    // in front, at most this many times.
    void checkChromeActiveTab(const RunningApplicationRef& app, int attemptsLeft);
    void startFocusPoll(const RunningApplicationRef& app, const std::string& key, bool web);
    void pollFocus(std::uint64_t generation, const std::string& key, std::int32_t pid,
                   const RunningApplicationRef& app, bool web);
    void inputFocused(const std::string& key, const RunningApplicationRef& app, bool web);
    RunningApplicationRef firstLiveBrowser() const;

    Desktop& desktop_;
    MainQueue& mainQueue_;
    Clock& clock_;
    AppleScriptRunner& scripts_;
    const ExecutionConfig& config_;
    const std::optional<std::string> myBundleId_;
    std::atomic<bool> isSending_{false};
    std::optional<Workspace::SubscriptionId> subscription_;

    std::once_flag browserBundleIdsOnce_;
    std::set<std::string> browserBundleIds_;

    mutable std::mutex mutex_;
    RunningApplicationRef previousApp_;
    std::vector<RunningApplicationRef> browserActivationHistory_;
    std::vector<std::string> sendTargetHistory_;
    RunningApplicationRef lastFocusedBrowser_;
    std::set<std::string> webFlavorKeys_;
    std::map<std::string, std::uint64_t> focusPollGenerations_;
    std::map<std::size_t, PreviousAppObserver> previousAppObservers_;
    std::size_t nextObserverId_ = 1;
};

}  // namespace orvex
