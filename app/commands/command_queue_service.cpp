#include "app/commands/command_queue_service.h"

#include <dirent.h>
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
// with looser permissions is tightened rather than trusted. Everything afterwards goes
// through the descriptor returned here, never the path again: whoever can rename the
// directory's parent could otherwise put a link to any other directory in its place.
// -1 when the path is no directory of its own (a link included).
int openPrivateDirectory(const std::filesystem::path& directory) {
    createPrivateDirectory(directory, nullptr);
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        log::system("[CommandQueue] Cannot open " + directory.string() + ": " +
                    std::strerror(errno));
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 077) != 0) {
        ::fchmod(fd, 0700);
    }
    return fd;
}

bool isEmptyRegularFile(int directoryFd, const std::string& name) {
    struct stat info {};
    return ::fstatat(directoryFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(info.st_mode) && info.st_size == 0;
}

// Reads a command file whole. Only a regular file (not a link, pipe or device) of at most
// kMaxCommandFileBytes is read, so a stray file can neither block the queue nor exhaust
// memory. The checks and the read go through one descriptor: a file swapped for a link or
// a pipe in between is never read.
std::optional<std::string> readCommandFile(int directoryFd, const std::filesystem::path& path,
                                           std::string* error) {
    const std::string name = path.filename().string();
    int fd = ::openat(directoryFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = "Cannot open " + path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::string> text;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = path.string() + " is not a regular file";
    } else if (static_cast<std::uintmax_t>(info.st_size) > kMaxCommandFileBytes) {
        *error = "File " + path.string() + " is larger than " +
                 std::to_string(kMaxCommandFileBytes) + " bytes";
    } else {
        // The size check above is only a fast path; the read enforces the limit too, in
        // case the file grows in between.
        text = readWholeFile(fd, path, error, kMaxCommandFileBytes);
    }
    ::close(fd);
    return text;
}

// Decodes a command whose id is safe to name a response file after. The id is chosen by
// whoever wrote the file; one that would lead outside the directory makes the file as
// unreadable as broken JSON.
DecodeResult<CLICommand> decodeCommandFile(int directoryFd, const std::filesystem::path& path) {
    std::string error;
    auto text = readCommandFile(directoryFd, path, &error);
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

// The entries of the open directory, named by `directory` (for the log).
std::vector<std::filesystem::path> listEntries(int directoryFd,
                                               const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> entries;
    // A description of its own: the scans and the cleanup list from different threads.
    int fd = directoryFd < 0 ? -1 : ::openat(directoryFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* stream = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!stream) {
        if (fd >= 0) {
            ::close(fd);
        }
        return entries;
    }
    while (const dirent* entry = ::readdir(stream)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            entries.push_back(directory / name);
        }
    }
    ::closedir(stream);
    return entries;
}

// Whether the directory's path still leads to the open directory.
bool pathLeadsTo(const std::filesystem::path& directory, int directoryFd) {
    struct stat byPath {};
    struct stat opened {};
    return ::lstat(directory.c_str(), &byPath) == 0 && ::fstat(directoryFd, &opened) == 0 &&
           byPath.st_dev == opened.st_dev && byPath.st_ino == opened.st_ino;
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
      creationTime_(std::move(creationTime)),
      directoryFd_(openPrivateDirectory(commandsDir_)) {}

CommandQueueService::~CommandQueueService() {
    directoryMonitor_.reset();
    if (cleanupTimer_) {
        cleanupTimer_->cancel();
    }
    if (directoryFd_ >= 0) {
        ::close(directoryFd_);
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
    for (const auto& entry : listEntries(directoryFd_, commandsDir_)) {
        if (entry.extension() == ".json" && isCommandFileName(entry.filename().string())) {
            processCommandFile(entry);
        }
    }
}

void CommandQueueService::processCommandFile(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    if (isEmptyRegularFile(directoryFd_, name)) {
        // Just created by a writer that writes in place: its close reports it again. One
        // that stays empty goes with the cleanup.
        return;
    }
    auto decoded = decodeCommandFile(directoryFd_, file);
    if (!decoded.ok()) {
        log::system("[CommandQueue] Failed to parse command file: " + decoded.error);
        ::unlinkat(directoryFd_, name.c_str(), 0);
        return;
    }
    CLICommand command = std::move(*decoded.value);
    log::system("[CommandQueue] Processing command: " + command.action + " (id: " + command.id +
                ")");
    if (::unlinkat(directoryFd_, name.c_str(), 0) != 0 && errno == ENOENT) {
        // Someone else removed it between the read and now: it is theirs, not ours to run.
        return;
    }
    struct stat info {};
    if (::fstatat(directoryFd_, responseFileName(command.id).c_str(), &info, AT_SYMLINK_NOFOLLOW) ==
        0) {
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
    if (auto error = writeFileAtomicallyAt(directoryFd_, target->filename().string(),
                                           encodeCLIResponseText(response), kExchangeFileMode)) {
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
    // The creation times are looked up by path: once the path leads elsewhere they would
    // be another directory's.
    if (directoryFd_ < 0) {
        return;
    }
    if (!pathLeadsTo(commandsDir_, directoryFd_)) {
        log::system("[CommandQueue] " + commandsDir_.string() +
                    " is no longer the watched command directory; nothing is cleaned up");
        return;
    }
    const auto cutoff = clock_.wallNow() - kResponseLifetime;
    for (const auto& entry : listEntries(directoryFd_, commandsDir_)) {
        const std::string name = entry.filename().string();
        const bool stale = isResponseFileName(name) ||
                           (isCommandFileName(name) && isEmptyRegularFile(directoryFd_, name));
        if (!stale) {
            continue;
        }
        auto created = creationTime_(entry);
        if (created && *created < cutoff) {
            ::unlinkat(directoryFd_, name.c_str(), 0);
        }
    }
}

}  // namespace orvex
