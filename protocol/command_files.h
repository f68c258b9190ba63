#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvex {

inline constexpr std::string_view kCommandFileSuffix = ".command.json";
inline constexpr std::string_view kResponseFileSuffix = ".response.json";

// Command files are read whole; anything larger is refused unread, so one bad file cannot
// exhaust the app's memory. Real commands are a few hundred bytes.
inline constexpr std::size_t kMaxCommandFileBytes = 1u << 20;

// Mode of command and response files; the command directory itself is 0700.
inline constexpr mode_t kExchangeFileMode = 0600;

// The response file is named after the `id` inside the command, which anyone who can drop
// a file may choose. An id is safe as a file name only when it is non-empty, holds no "/",
// no "..", no NUL or other control character, and leaves room within one file-name
// component for the response suffix and the temporary name the answer is written through. Returns
// why an id is unsafe, or nullopt when it is safe.
std::optional<std::string> unsafeCommandIdReason(std::string_view id);
bool isSafeCommandId(std::string_view id);

std::string commandFileName(std::string_view id);
std::string responseFileName(std::string_view id);

// The file of `id` inside `directory`, or nullopt when the id is unsafe.
std::optional<std::filesystem::path> commandFilePath(const std::filesystem::path& directory,
                                                     std::string_view id);
std::optional<std::filesystem::path> responseFilePath(const std::filesystem::path& directory,
                                                      std::string_view id);

// Whether a directory entry's name is a command or a response file.
bool isCommandFileName(std::string_view fileName);
bool isResponseFileName(std::string_view fileName);

}  // namespace orvex
