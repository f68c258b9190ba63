#include "cli/core/completion.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "cli/core/usage_text.h"

namespace orvex {
namespace {

// An Orvex that runs answers in milliseconds; a busy one is not worth a longer pause at
// the prompt.
constexpr std::chrono::milliseconds kListTimeout{1000};

// The keys the app's command handlers read, action by action.
const std::vector<std::string_view> kPresetFields{
    "label",       "shortcut",   "destination", "destinations", "multiDestMode",
    "fixedPrompt", "useCapture", "cutText",     "autoSend",     "filePath",
    "appName",     "createFile", "fileExt",     "folderId"};

std::vector<std::string_view> keysOf(std::string_view action) {
    if (action == "preset.create") {
        return kPresetFields;
    }
    if (action == "preset.update") {
        std::vector<std::string_view> keys{"id"};
        keys.insert(keys.end(), kPresetFields.begin(), kPresetFields.end());
        return keys;
    }
    if (action == "preset.get" || action == "preset.delete" || action == "preset.execute" ||
        action == "folder.delete" || action == "view.settings.edit") {
        return {"id"};
    }
    if (action == "folder.create") {
        return {"name"};
    }
    if (action == "folder.rename") {
        return {"id", "name"};
    }
    if (action == "settings.export" || action == "settings.import") {
        return {"path"};
    }
    if (action == "settings.language") {
        return {"set"};
    }
    if (action == "debug.pick-input") {
        return {"bundleId", "hint"};
    }
    return {};
}

enum class Values { none, presets, folders, fixed, files };

struct ValueChoice {
    Values kind = Values::none;
    std::vector<std::string_view> fixed;
};

ValueChoice valuesOf(std::string_view action, std::string_view key) {
    if (key == "id") {
        return {action.starts_with("folder.") ? Values::folders : Values::presets, {}};
    }
    if (key == "folderId") {
        return {Values::folders, {}};
    }
    if (key == "path" || key == "filePath") {
        return {Values::files, {}};
    }
    if (key == "useCapture" || key == "cutText" || key == "autoSend" || key == "createFile") {
        return {Values::fixed, {"true", "false"}};
    }
    if (key == "multiDestMode") {
        return {Values::fixed, {"lastUsed", "all"}};
    }
    if (key == "set") {
        return {Values::fixed, {"auto", "en", "ja"}};
    }
    if (key == "destination" || key == "destinations") {
        return {Values::fixed,
                {"chatgpt-app", "chatgpt-classic", "chatgpt-web", "gemini-app", "gemini",
                 "claude-app", "claude-web", "terminal", "last-input-field"}};
    }
    return {};
}

class Printer {
  public:
    Printer(std::ostream& out, std::string_view prefix) : out_(out), prefix_(prefix) {}
    void add(std::string_view candidate, std::string_view description = {}) {
        if (!candidate.starts_with(prefix_)) {
            return;
        }
        out_ << candidate;
        // A tab or line feed in a label would break the line format.
        if (!description.empty()) {
            out_ << '\t';
            for (char c : description) {
                out_ << (c == '\t' || c == '\n' ? ' ' : c);
            }
        }
        out_ << '\n';
    }

  private:
    std::ostream& out_;
    std::string_view prefix_;
};

void printIdentifiers(Values kind, CliEnvironment& environment, Printer& printer) {
    AppPathsResult paths = environment.resolvePaths();
    if (!paths.paths || !orvexRunsFor(paths.paths->orvexDirectory)) {
        return;
    }
    CommandExchange exchange = exchangeCommand("preset.list", {}, environment, kListTimeout);
    if (!exchange.response || !exchange.response->data) {
        return;
    }
    const CLIResponseData& data = *exchange.response->data;
    if (kind == Values::presets && data.presets) {
        for (const CLIPresetSummary& preset : *data.presets) {
            printer.add(preset.id, preset.label);
        }
    }
    if (kind == Values::folders && data.folders) {
        for (const CLIFolderSummary& folder : *data.folders) {
            printer.add(folder.id, folder.label);
        }
    }
}

}  // namespace

bool orvexRunsFor(const std::filesystem::path& orvexDirectory) {
    const std::filesystem::path lock = orvexDirectory / "orvex.lock";
    const int fd = ::open(lock.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // A shared lock is refused only while the running Orvex holds its exclusive one. Held
    // here for an instant, it would turn away an Orvex starting in that very instant (it
    // would ask this "other" one to show its window and exit 1 without an answer): a
    // window of microseconds, once per Tab press, against a wait at every prompt.
    int status;
    do {
        status = ::flock(fd, LOCK_SH | LOCK_NB);
    } while (status != 0 && errno == EINTR);
    const bool held = status != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

int printCompletions(const std::vector<std::string>& words, CliEnvironment& environment) {
    if (words.empty()) {
        return 0;
    }
    const std::string& current = words.back();
    Printer printer(environment.out, current);
    if (words.size() == 1) {
        for (const ListedAction& action : listedActions()) {
            printer.add(action.name, action.description);
        }
        printer.add("--help", "Show the actions");
        printer.add("--version", "Show the version");
        environment.out.flush();
        return 0;
    }
    // The client's own reading of the line: a "--key" with a word after it takes that word
    // as its value, anything else stands alone.
    const std::string& action = words.front();
    const std::size_t last = words.size() - 1;
    std::vector<std::string> given;
    std::size_t i = 1;
    while (i < last) {
        if (words[i].starts_with("--")) {
            if (i + 1 == last) {
                ValueChoice values = valuesOf(action, std::string_view(words[i]).substr(2));
                if (values.kind == Values::files) {
                    return kCompleteFileNames;
                }
                for (std::string_view value : values.fixed) {
                    printer.add(value);
                }
                if (values.kind == Values::presets || values.kind == Values::folders) {
                    printIdentifiers(values.kind, environment, printer);
                }
                environment.out.flush();
                return 0;
            }
            given.push_back(words[i].substr(2));
            i += 2;
        } else {
            ++i;
        }
    }
    for (std::string_view key : keysOf(action)) {
        if (std::find(given.begin(), given.end(), key) == given.end()) {
            printer.add("--" + std::string(key));
        }
    }
    environment.out.flush();
    return 0;
}

}  // namespace orvex
