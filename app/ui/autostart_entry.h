#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvex {

// The application's id on the desktop: the name of its desktop entry, its icon and its
// metadata, and what the windows tell the desktop they belong to.
inline constexpr std::string_view kDesktopEntryId = "app.orvex.Orvex";

// "Start at Login": a desktop entry in the user's autostart directory that starts Orvex
// when the session begins. The entry's presence is the setting; nothing else records it.
class AutostartEntry {
  public:
    // `configHome` is the user's configuration directory ($XDG_CONFIG_HOME or ~/.config),
    // `program` the orvex executable the entry starts.
    AutostartEntry(std::filesystem::path configHome, std::filesystem::path program);
    // For the program this process runs (/proc/self/exe).
    static AutostartEntry forThisProgram(std::filesystem::path configHome);

    // configHome/autostart/app.orvex.Orvex.desktop
    const std::filesystem::path& file() const { return file_; }
    bool enabled() const;
    // Writes or removes the entry; why it could not, for the status line.
    std::optional<std::string> setEnabled(bool enabled) const;
    // The desktop entry as written.
    std::string contents() const;

  private:
    std::filesystem::path file_;
    std::filesystem::path program_;
};

// The Exec value that starts `program`: the plain name for the packaged /usr/bin/orvex,
// else its absolute path, quoted and escaped as desktop entries require.
std::string autostartExec(const std::filesystem::path& program);

}  // namespace orvex
