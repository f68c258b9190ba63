#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvex::linux_desktop {

// The parts of a desktop entry (.desktop file) that identify an application.
struct DesktopEntry {
    std::string id;  // e.g. "org.gnome.TextEditor", without ".desktop"
    std::string path;
    std::map<std::string, std::string> names;  // "" for Name, "ja" for Name[ja], ...
    std::string exec;
    std::string tryExec;
    std::string startupWMClass;

    // Name in the first of `locales` that has one, else the plain Name.
    std::optional<std::string> localizedName(const std::vector<std::string>& locales) const;
    // The program Exec starts, without arguments or a leading "env VAR=value".
    std::string execProgram() const;
};

// Reads the [Desktop Entry] group; nothing for hidden entries and those of another type
// than Application.
std::optional<DesktopEntry> parseDesktopEntry(const std::string& text, std::string id,
                                              std::string path);

// $XDG_DATA_HOME (or ~/.local/share) then $XDG_DATA_DIRS (or /usr/local/share:/usr/share).
std::vector<std::string> dataDirectories();

// Locale names to try for localized keys, most specific first ("ja_JP", "ja").
std::vector<std::string> preferredLocales();

// Every application entry under <dir>/applications of the given directories. The id of
// a file is its path below "applications" with "/" turned into "-"; an earlier directory
// hides a later one's entry of the same id.
std::vector<DesktopEntry> loadDesktopEntries(const std::vector<std::string>& directories);

}  // namespace orvex::linux_desktop
