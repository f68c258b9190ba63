#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/linux/desktop_entries.h"

namespace orvex::linux_desktop {

// What /proc tells about a process.
struct ProcessInfo {
    std::string executable;                          // resolved /proc/<pid>/exe, may be empty
    std::string commandName;                         // /proc/<pid>/comm
    std::vector<std::string> arguments;              // /proc/<pid>/cmdline
    std::optional<std::string> launchedDesktopFile;  // GIO_LAUNCHED_DESKTOP_FILE
};

ProcessInfo readProcessInfo(std::int32_t pid, const std::string& procRoot = "/proc");

struct AppIdentity {
    // The desktop-entry id when an entry is found, else the executable's name.
    std::string bundleIdentifier;
    // The entry's (localized) Name; nothing without an entry.
    std::optional<std::string> entryName;
};

// Names running applications the same way for the application and the input finder.
class AppIdentityResolver {
  public:
    // Uses the desktop entries of the usual data directories, read on first use.
    AppIdentityResolver();
    AppIdentityResolver(std::vector<DesktopEntry> entries, std::vector<std::string> locales);

    // In order: the entry the process was launched from, an entry whose StartupWMClass is
    // the window class, an entry whose program is the process's executable; else the
    // executable's file name.
    AppIdentity identify(const ProcessInfo& process,
                         const std::optional<std::string>& windowClass = std::nullopt) const;

  private:
    AppIdentity fromEntry(const DesktopEntry& entry) const;
    const std::vector<DesktopEntry>& entries() const;

    mutable std::optional<std::vector<DesktopEntry>> entries_;
    std::vector<std::string> locales_;
};

}  // namespace orvex::linux_desktop
