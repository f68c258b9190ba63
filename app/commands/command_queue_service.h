#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/commands/directory_watcher.h"
#include "base/clock.h"
#include "base/main_queue.h"
#include "protocol/cli_command.h"
#include "protocol/cli_response.h"

namespace orvex {

// Answers one command; called by whoever carries the command out, exactly once, from any
// thread.
using CommandCompletion = std::function<void(CLIResponse)>;
// Carries one accepted command out on the main thread (the command processor).
using CommandHandler = std::function<void(const CLICommand&, CommandCompletion)>;

// When a file came into being: its birth time where the file system records one, else its
// modification time; nullopt when the file cannot be examined.
using FileCreationTime = std::function<std::optional<std::chrono::system_clock::time_point>(
    const std::filesystem::path&)>;
std::optional<std::chrono::system_clock::time_point> fileCreationTime(
    const std::filesystem::path& path);

// The application's end of the command file exchange: picks up command files in the
// command directory (at start and whenever the directory changes), hands each accepted
// command to the handler on the main queue, writes the answers as response files, and
// deletes answers nobody collected within a minute.
class CommandQueueService : public std::enable_shared_from_this<CommandQueueService> {
  public:
    static constexpr std::chrono::seconds kCleanupInterval{60};
    static constexpr std::chrono::seconds kResponseLifetime{60};
    static constexpr const char* kQueueLabel = "com.tavrin.orvex.command-queue";

    // Creates the command directory (mode 0700) if it is missing; errors are ignored here
    // and show up when start() cannot watch it.
    static std::shared_ptr<CommandQueueService> create(
        std::filesystem::path commandsDir, MainQueue& mainQueue, Clock& clock,
        CommandHandler handler, FileCreationTime creationTime = fileCreationTime);
    ~CommandQueueService();
    CommandQueueService(const CommandQueueService&) = delete;
    CommandQueueService& operator=(const CommandQueueService&) = delete;

    // Main thread, once: answers the files already waiting, then watches the directory on
    // the serial queue and starts the cleanup timer.
    void start();
    // Any thread.
    void writeResponse(const CLIResponse& response);

    // One scan of the directory; runs on the serial queue (or inside start()).
    void processPendingCommands();
    // One tick of the cleanup timer (main thread): removes the responses nobody collected
    // and the command files that stayed empty, a minute after they were made.
    void cleanupStaleFiles();

    const std::filesystem::path& commandsDir() const { return commandsDir_; }
    bool isWatching() const { return directoryMonitor_ != nullptr; }

  private:
    CommandQueueService(std::filesystem::path commandsDir, MainQueue& mainQueue, Clock& clock,
                        CommandHandler handler, FileCreationTime creationTime);

    void processCommandFile(const std::filesystem::path& file);
    void startCleanupTimer();

    const std::filesystem::path commandsDir_;
    MainQueue& mainQueue_;
    Clock& clock_;
    CommandHandler handler_;
    FileCreationTime creationTime_;
    TimerRef cleanupTimer_;
    // The command directory as opened at creation (-1 when it could not be): every file is
    // reached through it, never through the path again.
    const int directoryFd_;
    // Last member: destroyed first, so no scan is still running while the rest goes away.
    std::unique_ptr<DirectoryWatcher> directoryMonitor_;
};

}  // namespace orvex
