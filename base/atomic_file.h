#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvex {

// The temporary file of an atomic write is `target` + this marker + 16 hex digits, so a
// name is writable atomically only when it leaves room for kAtomicTempSuffixBytes more.
inline constexpr std::string_view kAtomicTempMarker = ".tmp-";
inline constexpr std::size_t kAtomicTempDigits = 16;
inline constexpr std::size_t kAtomicTempSuffixBytes = kAtomicTempMarker.size() + kAtomicTempDigits;

// Writes `contents` to a temporary file beside `target`, flushes and fsyncs it, then
// renames it over `target`. On any failure the temporary file is removed and `target`
// is left exactly as it was. Returns an error description, or nullopt on success.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& target,
                                               std::string_view contents, mode_t mode = 0644);

// Removes the temporary files that interrupted atomic writes of `target` left behind (a
// writer killed between creating its temporary and renaming it). Only regular files named
// exactly as writeFileAtomically names them are touched, never links or directories; the
// caller must know that no other process is writing `target` at the same time. Returns how
// many were removed.
std::size_t removeStaleAtomicTemporaries(const std::filesystem::path& target);

// The same for `name` inside the open directory `directoryFd`: the file lands in that
// directory even when its path has since been moved or replaced.
std::optional<std::string> writeFileAtomicallyAt(int directoryFd, const std::string& name,
                                                 std::string_view contents, mode_t mode = 0644);

// Plain (non-atomic) write, for files the user picked as an export target. The file has
// `mode` afterwards whatever the umask and whatever mode a file it replaces had.
std::optional<std::string> writeFileDirectly(const std::filesystem::path& target,
                                             std::string_view contents, mode_t mode = 0644);

// Reads a whole file, refusing files larger than `maxBytes` so one bad file cannot
// exhaust memory. Returns the error description in `error` on failure.
std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::string* error,
                                         std::size_t maxBytes = 64u << 20);
// The same from a file already open (from its current offset; `path` names it in errors),
// so that what was checked through the descriptor is what is read. Leaves `fd` open.
std::optional<std::string> readWholeFile(int fd, const std::filesystem::path& path,
                                         std::string* error, std::size_t maxBytes);

}  // namespace orvex
