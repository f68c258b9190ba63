#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <random>
#include <sstream>

namespace orvex {
namespace {

std::string errnoText(const std::string& what, const std::filesystem::path& path) {
    return what + " " + path.string() + ": " + std::strerror(errno);
}

std::optional<std::string> writeAll(int fd, std::string_view contents,
                                    const std::filesystem::path& path) {
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errnoText("Cannot write", path);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return std::nullopt;
}

std::string randomSuffix() {
    // Seeded again in a forked child: going on with its parent's sequence, it would try the
    // very names its parent or a sibling used, and fail where a killed one left its file.
    static thread_local std::mt19937_64 generator;
    static thread_local pid_t seededIn = 0;
    if (seededIn != ::getpid()) {
        generator.seed(std::random_device{}());
        seededIn = ::getpid();
    }
    std::ostringstream out;
    out << std::hex << std::setw(static_cast<int>(kAtomicTempDigits)) << std::setfill('0')
        << generator();
    return out.str();
}

}  // namespace

namespace {

// `target` is taken inside `directoryFd`, or as a path of its own with AT_FDCWD.
std::optional<std::string> writeAtomically(int directoryFd, const std::filesystem::path& target,
                                           std::string_view contents, mode_t mode) {
    std::filesystem::path temp = target;
    temp += std::string(kAtomicTempMarker) + randomSuffix();
    int fd = ::openat(directoryFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        return errnoText("Cannot create", temp);
    }
    auto failure = writeAll(fd, contents, temp);
    if (!failure && ::fchmod(fd, mode) != 0) {
        failure = errnoText("Cannot set mode of", temp);
    }
    if (!failure && ::fsync(fd) != 0) {
        failure = errnoText("Cannot sync", temp);
    }
    if (::close(fd) != 0 && !failure) {
        failure = errnoText("Cannot close", temp);
    }
    if (!failure && ::renameat(directoryFd, temp.c_str(), directoryFd, target.c_str()) != 0) {
        failure = errnoText("Cannot replace", target);
    }
    if (failure) {
        ::unlinkat(directoryFd, temp.c_str(), 0);
    }
    return failure;
}

}  // namespace

std::optional<std::string> writeFileAtomically(const std::filesystem::path& target,
                                               std::string_view contents, mode_t mode) {
    if (auto failure = writeAtomically(AT_FDCWD, target, contents, mode)) {
        return failure;
    }
    // Make the rename itself durable; a failure here does not undo the write.
    int dirFd = ::open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return std::nullopt;
}

std::size_t removeStaleAtomicTemporaries(const std::filesystem::path& target) {
    const std::string prefix = target.filename().string() + std::string(kAtomicTempMarker);
    const std::filesystem::path directory =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    std::size_t removed = 0;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        const bool ours = name.size() == prefix.size() + kAtomicTempDigits &&
                          name.starts_with(prefix) &&
                          std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                                      [](unsigned char c) { return std::isxdigit(c); });
        struct stat info {};
        if (ours && ::lstat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::unlink(it->path().c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

std::optional<std::string> writeFileAtomicallyAt(int directoryFd, const std::string& name,
                                                 std::string_view contents, mode_t mode) {
    if (auto failure = writeAtomically(directoryFd, name, contents, mode)) {
        return failure;
    }
    ::fsync(directoryFd);
    return std::nullopt;
}

std::optional<std::string> writeFileDirectly(const std::filesystem::path& target,
                                             std::string_view contents, mode_t mode) {
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        return errnoText("Cannot create", target);
    }
    // The mode is set before anything is written: a file that existed keeps its old mode
    // through open(), and the contents must never be readable under a looser one.
    std::optional<std::string> failure;
    if (::fchmod(fd, mode) != 0) {
        failure = errnoText("Cannot set mode of", target);
    } else {
        failure = writeAll(fd, contents, target);
    }
    if (::close(fd) != 0 && !failure) {
        failure = errnoText("Cannot close", target);
    }
    return failure;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::string* error,
                                         std::size_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) {
            *error = errnoText("Cannot open", path);
        }
        return std::nullopt;
    }
    auto contents = readWholeFile(fd, path, error, maxBytes);
    ::close(fd);
    return contents;
}

std::optional<std::string> readWholeFile(int fd, const std::filesystem::path& path,
                                         std::string* error, std::size_t maxBytes) {
    std::string contents;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (error) {
                *error = errnoText("Cannot read", path);
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        if (contents.size() + static_cast<std::size_t>(n) > maxBytes) {
            if (error) {
                *error = "File " + path.string() + " is larger than " + std::to_string(maxBytes) +
                         " bytes";
            }
            return std::nullopt;
        }
        contents.append(buffer, static_cast<std::size_t>(n));
    }
    return contents;
}

}  // namespace orvex
