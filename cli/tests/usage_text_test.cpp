#include <gtest/gtest.h>

#include "cli/core/usage_text.h"

namespace orvex {
namespace {

// Written out by hand, not generated, so that a slip in the column arithmetic shows.
constexpr const char* kExpectedUsage =
    "orvex-cli - Orvex command-line interface\n"
    "\n"
    "Usage: orvex-cli <action> [--key value ...]\n"
    "\n"
    "Preset Commands:\n"
    "  preset.list                          List all presets\n"
    "  preset.get --id ID                   Get preset details\n"
    "  preset.create --label NAME [opts]    Create a new preset\n"
    "  preset.update --id ID [--field val]  Update a preset\n"
    "  preset.delete --id ID                Delete a preset\n"
    "  preset.execute --id ID               Execute a preset\n"
    "\n"
    "Folder Commands:\n"
    "  folder.create --name NAME            Create a folder\n"
    "  folder.rename --id ID --name NAME    Rename a folder\n"
    "  folder.delete --id ID                Delete a folder\n"
    "  folder.organize                      Auto-organize by action type\n"
    "  folder.ungroup                       Remove all folders\n"
    "\n"
    "Settings Commands:\n"
    "  settings.export --path PATH          Export settings to file\n"
    "  settings.import --path PATH          Import settings from file\n"
    "  settings.reset                       Reset to defaults\n"
    "  settings.language                    Show current language\n"
    "  settings.language --set ja|en        Set language\n"
    "\n"
    "Window Commands:\n"
    "  window.show                          Show main window\n"
    "  window.hide                          Hide main window\n"
    "  window.toggle-pin                    Toggle always-on-top\n"
    "\n"
    "View Commands:\n"
    "  view.settings                        Open settings screen\n"
    "  view.settings.edit --id ID           Open preset edit screen\n"
    "  view.main                            Back to main screen\n"
    "\n"
    "Other Commands:\n"
    "  app.status                           Show app status\n"
    "  help.show                            Open help window\n"
    "\n"
    "Debug Commands:\n"
    "  debug.pick-input [--bundleId ID] [--hint TEXT]\n"
    "                                       Show which input box a send would target\n"
    "                                       (lists candidates; pastes nothing)\n";

TEST(UsageText, IsByteForByteTheExpectedText) {
    EXPECT_EQ(usageText(), kExpectedUsage);
}

}  // namespace
}  // namespace orvex
