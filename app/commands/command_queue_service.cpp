#include "app/commands/command_queue_service.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "base/app_paths.h"
#include "base/atomic_file.h"
#include "base/log.h"
#include "protocol/command_files.h"

namespace orvex {
namespace {

// The command directory is private to its user; one made by an older version or by hand
// with looser permissions is tightened rather than trusted.
void makeDirectoryPrivate(const std::filesystem::path& directory) {
    createPrivateDirectory(directory, nullptr);
    struct stat info {};
    if (::lstat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::geteuid() && (info.st_mode & 077) != 0) {
        ::chmod(directory.c_str(), 0700);
    }
}

bool isEmptyRegularFile(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0;
}

// Reads a command file whole. Only a regular file (not a link, pipe or device) of at most
// kMaxCommandFileBytes is read, so a stray file can neither block the queue nor exhaust
// memory.
std::optional<std::string> readCommandFile(const std::filesystem::path& path, std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = "Cannot open " + path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = path.string() + " is not a regular file";
        ::close(fd);
        return std::nullopt;
    }
    ::close(fd);
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxCommandFileBytes) {
        *error = "File " + path.string() + " is larger than " +
                 std::to_string(kMaxCommandFileBytes) + " bytes";
        return std::nullopt;
    }
    // The size check above is only a fast path; readWholeFile enforces the limit while
    // reading, in case the file grows in between.
    return readWholeFile(path, error, kMaxCommandFileBytes);
}

// Decodes a command whose id is safe to name a response file after. The id is chosen by
// whoever wrote the file; one that would lead outside the directory makes the file as
// unreadable as broken JSON.
DecodeResult<CLICommand> decodeCommandFile(const std::filesystem::path& path) {
    std::string error;
    auto text = readCommandFile(path, &error);
    if (!text) {
        return {std::nullopt, error};
    }
    auto decoded = decodeCLICommandText(*text);
    if (!decoded.ok()) {
        return {std::nullopt, path.filename().string() + ": " + decoded.error};
    }
    if (auto unsafe = unsafeCommandIdReason(decoded.value->id)) {
        return {std::nullopt, path.filename().string() + ": " + *unsafe};
    }
    return decoded;
}

std::vector<std::filesystem::path> listEntries(const std::filesystem::path& directory,
                                               bool* failed) {
    std::vector<std::filesystem::path> entries;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    if (error) {
        *failed = true;
        return entries;
    }
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error) {
            break;
        }
        entries.push_back(it->path());
    }
    *failed = false;
    return entries;
}

}  // namespace

std::optional<std::chrono::system_clock::time_point> fileCreationTime(
    const std::filesystem::path& path) {
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME | STATX_MTIME, &info) !=
        0) {
        return std::nullopt;
    }
    const statx_timestamp* stamp = nullptr;
    if (info.stx_mask & STATX_BTIME) {
        stamp = &info.stx_btime;
    } else if (info.stx_mask & STATX_MTIME) {
        stamp = &info.stx_mtime;
    } else {
        return std::nullopt;
    }
    auto sinceEpoch =
        std::chrono::seconds(stamp->tv_sec) + std::chrono::nanoseconds(stamp->tv_nsec);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
}

std::shared_ptr<CommandQueueService> CommandQueueService::create(std::filesystem::path commandsDir,
                                                                 MainQueue& mainQueue, Clock& clock,
                                                                 CommandHandler handler,
                                                                 FileCreationTime creationTime) {
    return std::shared_ptr<CommandQueueService>(new CommandQueueService(
        std::move(commandsDir), mainQueue, clock, std::move(handler), std::move(creationTime)));
}

CommandQueueService::CommandQueueService(std::filesystem::path commandsDir, MainQueue& mainQueue,
                                         Clock& clock, CommandHandler handler,
                                         FileCreationTime creationTime)
    : commandsDir_(std::move(commandsDir)),
      mainQueue_(mainQueue),
      clock_(clock),
      handler_(std::move(handler)),
      creationTime_(std::move(creationTime)) {
    makeDirectoryPrivate(commandsDir_);
}

CommandQueueService::~CommandQueueService() {
    directoryMonitor_.reset();
    if (cleanupTimer_) {
        cleanupTimer_->cancel();
    }
}

void CommandQueueService::start() {
    log::system("[CommandQueue] Starting watch on: " + commandsDir_.string());
    // The watch goes in before the first scan and its thread starts after it: a file that
    // arrives during the scan waits in the watch's queue instead of slipping between the
    // two, and the scans never run at the same time.
    std::string error;
    auto monitor = DirectoryWatcher::open(commandsDir_, &error);
    processPendingCommands();
    if (!monitor) {
        log::system("[CommandQueue] Failed to open directory for monitoring");
        return;
    }
    directoryMonitor_ = std::move(monitor);
    directoryMonitor_->start([this] { processPendingCommands(); }, "command-queue");
    mainQueue_.post(weakly(shared_from_this(),
                           [](CommandQueueService& service) { service.startCleanupTimer(); }));
}

void CommandQueueService::processPendingCommands() {
    bool failed = false;
    auto entries = listEntries(commandsDir_, &failed);
    if (failed) {
        return;
    }
    for (const auto& entry : entries) {
        if (entry.extension() == ".json" && isCommandFileName(entry.filename().string())) {
            processCommandFile(entry);
        }
    }
}

void CommandQueueService::processCommandFile(const std::filesystem::path& file) {
    if (isEmptyRegularFile(file)) {
        // Just created by a writer that writes in place: its close reports it again. One
        // that stays empty goes with the cleanup.
        return;
    }
    auto decoded = decodeCommandFile(file);
    if (!decoded.ok()) {
        log::system("[CommandQueue] Failed to parse command file: " + decoded.error);
        ::unlink(file.c_str());
        return;
    }
    CLICommand command = std::move(*decoded.value);
    log::system("[CommandQueue] Processing command: " + command.action + " (id: " + command.id +
                ")");
    if (::unlink(file.c_str()) != 0 && errno == ENOENT) {
        // Someone else removed it between the read and now: it is theirs, not ours to run.
        return;
    }
    auto response = responseFilePath(commandsDir_, command.id);
    struct stat info {};
    if (::lstat(response->c_str(), &info) == 0) {
        log::system("[CommandQueue] Response already exists, skipping");
        return;
    }
    std::weak_ptr<CommandQueueService> weak = weak_from_this();
    mainQueue_.post([weak, command = std::move(command)] {
        auto service = weak.lock();
        if (!service) {
            return;
        }
        service->handler_(command, [weak](CLIResponse answer) {
            if (auto alive = weak.lock()) {
                alive->writeResponse(answer);
            }
        });
    });
}

void CommandQueueService::writeResponse(const CLIResponse& response) {
    auto target = responseFilePath(commandsDir_, response.id);
    if (!target) {
        log::system("[CommandQueue] Failed to write response: " +
                    unsafeCommandIdReason(response.id).value_or("unsafe command id"));
        return;
    }
    if (auto error =
            writeFileAtomically(*target, encodeCLIResponseText(response), kExchangeFileMode)) {
        log::system("[CommandQueue] Failed to write response: " + *error);
        return;
    }
    log::system("[CommandQueue] Response written: " + response.id);
}

void CommandQueueService::startCleanupTimer() {
    cleanupTimer_ = mainQueue_.repeatEvery(
        kCleanupInterval, weakly(shared_from_this(), [](CommandQueueService& service) {
            service.cleanupStaleFiles();
        }));
}

void CommandQueueService::cleanupStaleFiles() {
    bool failed = false;
    auto entries = listEntries(commandsDir_, &failed);
    if (failed) {
        return;
    }
    const auto cutoff = clock_.wallNow() - kResponseLifetime;
    for (const auto& entry : entries) {
        const std::string name = entry.filename().string();
        const bool stale =
            isResponseFileName(name) || (isCommandFileName(name) && isEmptyRegularFile(entry));
        if (!stale) {
            continue;
        }
        auto created = creationTime_(entry);
        if (created && *created < cutoff) {
            ::unlink(entry.c_str());
        }
    }
}

}  // namespace orvex
