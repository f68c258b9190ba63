#include "desktop/linux/desktop_entries.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace orvex::linux_desktop {

namespace fs = std::filesystem;

namespace {

std::string trim(const std::string& text) {
    auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return "";
    auto end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

std::string unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        char next = value[++i];
        out += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return out;
}

// Desktop entries are a few kilobytes; anything far larger is not one.
std::optional<std::string> readSmallFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string text(256 * 1024, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return text;
}

std::vector<std::string> splitPath(const char* value) {
    std::vector<std::string> parts;
    std::stringstream stream(value ? value : "");
    std::string part;
    while (std::getline(stream, part, ':')) {
        if (!part.empty())
            parts.push_back(part);
    }
    return parts;
}

}  // namespace

std::optional<std::string> DesktopEntry::localizedName(
    const std::vector<std::string>& locales) const {
    for (const auto& locale : locales) {
        if (auto found = names.find(locale); found != names.end())
            return found->second;
    }
    if (auto found = names.find(""); found != names.end())
        return found->second;
    return std::nullopt;
}

std::string DesktopEntry::execProgram() const {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (char c : exec) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    std::size_t i = 0;
    if (i < words.size() && fs::path(words[i]).filename() == "env") {
        ++i;
        while (i < words.size() &&
               (words[i].find('=') != std::string::npos || words[i][0] == '-')) {
            ++i;
        }
    }
    return i < words.size() ? words[i] : "";
}

std::optional<DesktopEntry> parseDesktopEntry(const std::string& text, std::string id,
                                              std::string path) {
    DesktopEntry entry;
    entry.id = std::move(id);
    entry.path = std::move(path);
    bool inGroup = false;
    std::string type;
    bool hidden = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inGroup)
            continue;
        auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = trim(line.substr(0, equals));
        std::string value = unescape(trim(line.substr(equals + 1)));
        if (key == "Name") {
            entry.names[""] = value;
        } else if (key.starts_with("Name[") && key.ends_with("]")) {
            entry.names[key.substr(5, key.size() - 6)] = value;
        } else if (key == "Exec") {
            entry.exec = value;
        } else if (key == "TryExec") {
            entry.tryExec = value;
        } else if (key == "StartupWMClass") {
            entry.startupWMClass = value;
        } else if (key == "Type") {
            type = value;
        } else if (key == "Hidden") {
            hidden = value == "true";
        }
    }
    if (hidden || type != "Application")
        return std::nullopt;
    return entry;
}

std::vector<std::string> dataDirectories() {
    std::vector<std::string> directories;
    if (const char* home = std::getenv("XDG_DATA_HOME"); home && *home) {
        directories.push_back(home);
    } else if (const char* user = std::getenv("HOME"); user && *user) {
        directories.push_back(std::string(user) + "/.local/share");
    }
    auto system = splitPath(std::getenv("XDG_DATA_DIRS"));
    if (system.empty())
        system = {"/usr/local/share", "/usr/share"};
    directories.insert(directories.end(), system.begin(), system.end());
    return directories;
}

std::vector<std::string> preferredLocales() {
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        value = std::getenv(name);
        if (value && *value)
            break;
    }
    std::string locale = value ? value : "";
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale.empty() || locale == "C" || locale == "POSIX")
        return {};
    std::vector<std::string> locales{locale};
    if (auto underscore = locale.find('_'); underscore != std::string::npos) {
        locales.push_back(locale.substr(0, underscore));
    }
    return locales;
}

std::vector<DesktopEntry> loadDesktopEntries(const std::vector<std::string>& directories) {
    std::vector<DesktopEntry> entries;
    std::set<std::string> seen;
    for (const auto& directory : directories) {
        fs::path root = fs::path(directory) / "applications";
        std::error_code error;
        if (!fs::is_directory(root, error))
            continue;
        std::vector<fs::path> files;
        for (auto it = fs::recursive_directory_iterator(
                 root, fs::directory_options::skip_permission_denied, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().extension() == ".desktop")
                files.push_back(it->path());
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::string relative = fs::relative(file, root, error).string();
            if (error)
                continue;
            relative = relative.substr(0, relative.size() - std::string(".desktop").size());
            for (char& c : relative) {
                if (c == '/')
                    c = '-';
            }
            if (!seen.insert(relative).second)
                continue;
            auto text = readSmallFile(file);
            if (!text)
                continue;
            if (auto entry = parseDesktopEntry(*text, relative, file.string())) {
                entries.push_back(std::move(*entry));
            }
        }
    }
    return entries;
}

}  // namespace orvex::linux_desktop
