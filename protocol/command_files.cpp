#include "protocol/command_files.h"

#include "base/atomic_file.h"

namespace orvex {
namespace {

// One path component may hold 255 bytes on the file systems we run on.
constexpr std::size_t kMaxFileNameBytes = 255;

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

std::optional<std::string> unsafeCommandIdReason(std::string_view id) {
    if (id.empty()) {
        return "command id is empty";
    }
    if (id.find('/') != std::string_view::npos) {
        return "command id holds \"/\"";
    }
    if (id.find("..") != std::string_view::npos) {
        return "command id holds \"..\"";
    }
    for (char c : id) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            return "command id holds a control character";
        }
    }
    // The answer is written through a temporary file whose name is longer still; an id
    // that leaves no room for it would run its action and never be answered.
    if (id.size() + kResponseFileSuffix.size() + kAtomicTempSuffixBytes > kMaxFileNameBytes) {
        return "command id is too long for a file name";
    }
    return std::nullopt;
}

bool isSafeCommandId(std::string_view id) {
    return !unsafeCommandIdReason(id);
}

std::string commandFileName(std::string_view id) {
    return std::string(id) + std::string(kCommandFileSuffix);
}

std::string responseFileName(std::string_view id) {
    return std::string(id) + std::string(kResponseFileSuffix);
}

std::optional<std::filesystem::path> commandFilePath(const std::filesystem::path& directory,
                                                     std::string_view id) {
    if (!isSafeCommandId(id)) {
        return std::nullopt;
    }
    return directory / commandFileName(id);
}

std::optional<std::filesystem::path> responseFilePath(const std::filesystem::path& directory,
                                                      std::string_view id) {
    if (!isSafeCommandId(id)) {
        return std::nullopt;
    }
    return directory / responseFileName(id);
}

bool isCommandFileName(std::string_view fileName) {
    return endsWith(fileName, kCommandFileSuffix);
}

bool isResponseFileName(std::string_view fileName) {
    return endsWith(fileName, kResponseFileSuffix);
}

}  // namespace orvex
