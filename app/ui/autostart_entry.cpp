#include "app/ui/autostart_entry.h"

#include <string_view>
#include <system_error>

#include "base/app_paths.h"
#include "base/atomic_file.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

// The kernel's name for an executable replaced while it runs (a package upgrade); the
// entry must name the file that is there now.
constexpr std::string_view kDeletedSuffix = " (deleted)";

// An Exec argument: characters the launcher would read as shell syntax put the argument in
// double quotes, where four characters take a backslash; '%' starts a field code anywhere.
std::string quoteArgument(std::string_view argument) {
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quoted = argument.find_first_of(reserved) != std::string_view::npos;
    std::string out;
    for (char c : argument) {
        if (c == '%') {
            out += "%%";
            continue;
        }
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            out += '\\';
        }
        out += c;
    }
    return quoted ? '"' + out + '"' : out;
}

// A string value of a desktop entry escapes the backslash and the control characters again,
// on top of the Exec quoting.
std::string escapeValue(std::string_view value) {
    std::string out;
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

std::string autostartExec(const fs::path& program) {
    std::string path = program.string();
    if (path.ends_with(kDeletedSuffix)) {
        path.resize(path.size() - kDeletedSuffix.size());
    }
    // The packaged program is on every session's PATH, and the plain name is what the
    // application menu's entry starts too. Anywhere else (a build tree, /usr/local, a
    // private prefix) the login session's PATH may miss it or find another Orvex first.
    if (path == "/usr/bin/orvex" || path == "/bin/orvex") {
        return "orvex";
    }
    return escapeValue(quoteArgument(path));
}

AutostartEntry::AutostartEntry(fs::path configHome, fs::path program)
    : file_(configHome / "autostart" / kDesktopEntryId), program_(std::move(program)) {
    file_ += ".desktop";
}

AutostartEntry AutostartEntry::forThisProgram(fs::path configHome) {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    return AutostartEntry(std::move(configHome), error ? fs::path("orvex") : program);
}

bool AutostartEntry::enabled() const {
    std::error_code error;
    return fs::exists(file_, error);
}

std::string AutostartEntry::contents() const {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Orvex\n"
           "Comment=Send your selection to AI chats with one key\n"
           "Exec=" +
           autostartExec(program_) + "\nIcon=" + std::string(kDesktopEntryId) +
           "\nTerminal=false\n";
}

std::optional<std::string> AutostartEntry::setEnabled(bool enabled) const {
    if (!enabled) {
        std::error_code error;
        fs::remove(file_, error);
        if (error) {
            return "Cannot remove " + file_.string() + ": " + error.message();
        }
        return std::nullopt;
    }
    std::string error;
    if (!createPrivateDirectory(file_.parent_path(), &error)) {
        return error;
    }
    if (auto written = writeFileAtomically(file_, contents())) {
        return "Cannot write " + file_.string() + ": " + *written;
    }
    return std::nullopt;
}

}  // namespace orvex
