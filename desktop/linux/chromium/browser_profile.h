#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvex::chromium {

// Where a running browser's DevTools endpoint is: the two lines Chromium writes to
// "DevToolsActivePort" in its profile directory (the port, then the browser's path).
struct DevToolsEndpoint {
    std::uint16_t port = 0;
    std::string browserPath;  // "/devtools/browser/…"
};
std::optional<DevToolsEndpoint> parseDevToolsActivePort(const std::string& text);

// The process holding a profile: Chromium's "SingletonLock" is a symbolic link to
// "HOSTNAME-PID". Nothing when the link is missing, malformed, of another host, or names a
// process that is gone.
std::optional<std::int32_t> profileOwner(const std::filesystem::path& profileDirectory);
// The pid in a lock target "HOSTNAME-PID" when the host is `hostname`.
std::optional<std::int32_t> parseSingletonLock(const std::string& target,
                                               const std::string& hostname);

// The first of `candidates` that is an executable file: a name is looked up on `path` (a
// PATH value), a name with a slash is taken as it is.
std::optional<std::string> findBrowserBinary(const std::vector<std::string>& candidates,
                                             const std::string& path);

// The browser's command line: a profile of its own, a debugging port the browser picks
// (written to DevToolsActivePort), pages exposed to accessibility, and no window until a
// script asks for one.
std::vector<std::string> browserArguments(const std::filesystem::path& profileDirectory,
                                          bool runningAsRoot,
                                          const std::vector<std::string>& extraArguments);

}  // namespace orvex::chromium
