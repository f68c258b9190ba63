#include "cli/core/usage_text.h"

#include <string_view>
#include <vector>

namespace orvex {
namespace {

// Descriptions start at this column (0-based), after two spaces of indent and the synopsis.
constexpr std::size_t kDescriptionColumn = 39;

struct Entry {
    std::string_view synopsis;
    std::string_view description;
    std::string_view continuation = {};  // a second description line, for long entries
};

struct Section {
    std::string_view heading;
    std::vector<Entry> entries;
};

const std::vector<Section>& sections() {
    static const std::vector<Section> kSections{
        {"Preset Commands:",
         {{"preset.list", "List all presets"},
          {"preset.get --id ID", "Get preset details"},
          {"preset.create --label NAME [opts]", "Create a new preset"},
          {"preset.update --id ID [--field val]", "Update a preset"},
          {"preset.delete --id ID", "Delete a preset"},
          {"preset.execute --id ID", "Execute a preset"}}},
        {"Folder Commands:",
         {{"folder.create --name NAME", "Create a folder"},
          {"folder.rename --id ID --name NAME", "Rename a folder"},
          {"folder.delete --id ID", "Delete a folder"},
          {"folder.organize", "Auto-organize by action type"},
          {"folder.ungroup", "Remove all folders"}}},
        {"Settings Commands:",
         {{"settings.export --path PATH", "Export settings to file"},
          {"settings.import --path PATH", "Import settings from file"},
          {"settings.reset", "Reset to defaults"},
          {"settings.language", "Show current language"},
          {"settings.language --set ja|en", "Set language"}}},
        {"Window Commands:",
         {{"window.show", "Show main window"},
          {"window.hide", "Hide main window"},
          {"window.toggle-pin", "Toggle always-on-top"}}},
        {"View Commands:",
         {{"view.settings", "Open settings screen"},
          {"view.settings.edit --id ID", "Open preset edit screen"},
          {"view.main", "Back to main screen"}}},
        {"Other Commands:", {{"app.status", "Show app status"}, {"help.show", "Open help window"}}},
        {"Debug Commands:",
         {{"debug.pick-input [--bundleId ID] [--hint TEXT]",
           "Show which input box a send would target", "(lists candidates; pastes nothing)"}}},
    };
    return kSections;
}

void appendEntry(std::string& text, const Entry& entry) {
    std::string line = "  ";
    line += entry.synopsis;
    if (line.size() < kDescriptionColumn) {
        line.resize(kDescriptionColumn, ' ');
        line += entry.description;
        text += line + "\n";
    } else {
        // Too long to share a line: the description goes below, in its column.
        text += line + "\n";
        text += std::string(kDescriptionColumn, ' ') + std::string(entry.description) + "\n";
    }
    if (!entry.continuation.empty()) {
        text += std::string(kDescriptionColumn, ' ') + std::string(entry.continuation) + "\n";
    }
}

}  // namespace

std::string usageText() {
    std::string text =
        "orvex-cli - Orvex command-line interface\n"
        "\n"
        "Usage: orvex-cli <action> [--key value ...]\n"
        "       orvex-cli --help | --version\n";
    for (const Section& section : sections()) {
        text += "\n";
        text += section.heading;
        text += "\n";
        for (const Entry& entry : section.entries) {
            appendEntry(text, entry);
        }
    }
    return text;
}

std::vector<ListedAction> listedActions() {
    std::vector<ListedAction> actions;
    for (const Section& section : sections()) {
        for (const Entry& entry : section.entries) {
            const std::string name(entry.synopsis.substr(0, entry.synopsis.find(' ')));
            if (actions.empty() || actions.back().name != name) {
                actions.push_back({name, std::string(entry.description)});
            }
        }
    }
    return actions;
}

}  // namespace orvex
