#include "desktop/linux/chromium/browser_profile.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <sstream>
#include <system_error>

#include "base/executable_search.h"

namespace orvex::chromium {

namespace fs = std::filesystem;

namespace {

template <typename Number>
std::optional<Number> number(std::string_view text) {
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<DevToolsEndpoint> parseDevToolsActivePort(const std::string& text) {
    std::istringstream lines(text);
    std::string portLine, pathLine;
    if (!std::getline(lines, portLine) || !std::getline(lines, pathLine)) {
        return std::nullopt;
    }
    auto port = number<std::uint32_t>(portLine);
    if (!port || *port == 0 || *port > 65535 || !pathLine.starts_with("/devtools/browser/")) {
        return std::nullopt;
    }
    return DevToolsEndpoint{static_cast<std::uint16_t>(*port), pathLine};
}

std::optional<std::int32_t> parseSingletonLock(const std::string& target,
                                               const std::string& hostname) {
    auto dash = target.rfind('-');
    if (dash == std::string::npos || target.substr(0, dash) != hostname) {
        return std::nullopt;
    }
    auto pid = number<std::int32_t>(std::string_view(target).substr(dash + 1));
    if (!pid || *pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

std::optional<std::int32_t> profileOwner(const fs::path& profileDirectory) {
    std::error_code error;
    fs::path target = fs::read_symlink(profileDirectory / "SingletonLock", error);
    if (error) {
        return std::nullopt;
    }
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        return std::nullopt;
    }
    auto pid = parseSingletonLock(target.string(), host);
    if (!pid || (kill(*pid, 0) != 0 && errno == ESRCH)) {
        return std::nullopt;
    }
    return pid;
}

std::optional<std::string> findBrowserBinary(const std::vector<std::string>& candidates,
                                             const std::string& path) {
    for (const std::string& candidate : candidates) {
        if (auto found = findExecutable(candidate, path)) {
            return found;
        }
    }
    return std::nullopt;
}

std::vector<std::string> browserArguments(const fs::path& profileDirectory, bool runningAsRoot,
                                          const std::vector<std::string>& extraArguments) {
    std::vector<std::string> arguments{
        "--user-data-dir=" + profileDirectory.string(),
        "--remote-debugging-port=0",
        "--force-renderer-accessibility",
        "--no-startup-window",
        "--no-first-run",
        "--no-default-browser-check",
        // No keyring prompt in front of the page Orvex is about to paste into.
        "--password-store=basic",
    };
    if (runningAsRoot) {
        // Chromium refuses to start its sandbox as root.
        arguments.emplace_back("--no-sandbox");
    }
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    return arguments;
}

}  // namespace orvex::chromium
