#include "desktop/linux/app_identity.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvex::linux_desktop {

namespace fs = std::filesystem;

namespace {

std::string readProcFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> splitNul(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == '\0') {
            parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

std::string baseName(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string entryIdOf(const std::string& desktopFile) {
    std::string name = baseName(desktopFile);
    if (name.ends_with(".desktop"))
        name.resize(name.size() - 8);
    return name;
}

bool sameFile(const std::string& program, const std::string& executable) {
    if (executable.empty())
        return false;
    std::error_code error;
    return program == executable || fs::weakly_canonical(program, error).string() == executable;
}

}  // namespace

ProcessInfo readProcessInfo(std::int32_t pid, const std::string& procRoot) {
    ProcessInfo info;
    fs::path dir = fs::path(procRoot) / std::to_string(pid);
    std::error_code error;
    fs::path exe = fs::read_symlink(dir / "exe", error);
    if (!error) {
        info.executable = exe.string();
        // A replaced binary reads "/usr/bin/app (deleted)".
        if (info.executable.ends_with(" (deleted)"))
            info.executable.resize(info.executable.size() - 10);
    }
    info.commandName = readProcFile(dir / "comm");
    while (!info.commandName.empty() && info.commandName.back() == '\n')
        info.commandName.pop_back();
    info.arguments = splitNul(readProcFile(dir / "cmdline"));
    for (const auto& variable : splitNul(readProcFile(dir / "environ"))) {
        static const std::string key = "GIO_LAUNCHED_DESKTOP_FILE=";
        if (variable.starts_with(key) && variable.size() > key.size()) {
            info.launchedDesktopFile = variable.substr(key.size());
        }
    }
    return info;
}

AppIdentityResolver::AppIdentityResolver() : locales_(preferredLocales()) {}

AppIdentityResolver::AppIdentityResolver(std::vector<DesktopEntry> entries,
                                         std::vector<std::string> locales)
    : entries_(std::move(entries)), locales_(std::move(locales)) {}

const std::vector<DesktopEntry>& AppIdentityResolver::entries() const {
    if (!entries_)
        entries_ = loadDesktopEntries(dataDirectories());
    return *entries_;
}

AppIdentity AppIdentityResolver::fromEntry(const DesktopEntry& entry) const {
    return {entry.id, entry.localizedName(locales_)};
}

AppIdentity AppIdentityResolver::identify(const ProcessInfo& process,
                                          const std::optional<std::string>& windowClass) const {
    if (process.launchedDesktopFile) {
        std::string id = entryIdOf(*process.launchedDesktopFile);
        for (const auto& entry : entries()) {
            if (entry.path == *process.launchedDesktopFile || entry.id == id) {
                return fromEntry(entry);
            }
        }
        return {id, std::nullopt};
    }
    if (windowClass && !windowClass->empty()) {
        for (const auto& entry : entries()) {
            if (entry.startupWMClass == *windowClass)
                return fromEntry(entry);
        }
    }
    std::string executable = process.executable.empty() ? "" : baseName(process.executable);
    std::string invoked = process.arguments.empty() ? "" : baseName(process.arguments.front());
    if (!executable.empty() || !invoked.empty()) {
        for (const auto& entry : entries()) {
            for (const std::string& program : {entry.execProgram(), entry.tryExec}) {
                if (program.empty())
                    continue;
                // A full path must be the executable itself; a bare name matches by name.
                bool matches = program.find('/') != std::string::npos
                                   ? sameFile(program, process.executable)
                                   : program == executable || program == invoked;
                if (matches)
                    return fromEntry(entry);
            }
        }
    }
    if (!executable.empty())
        return {executable, std::nullopt};
    return {process.commandName, std::nullopt};
}

}  // namespace orvex::linux_desktop
