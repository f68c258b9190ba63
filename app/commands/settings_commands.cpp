#include "app/commands/settings_commands.h"

#include <variant>

#include "app/commands/command_params.h"
#include "app/commands/command_reply.h"
#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"
#include "app/store/settings_transfer.h"

namespace orvex {

namespace {

constexpr const char* kMissingPath = "Missing param: path";

}  // namespace

void settingsExport(const CommandServices& services, const CLICommand& command,
                    const CommandReply& reply) {
    const std::string* path = findParam(command.params, "path");
    if (!path) {
        return reply.fail(kMissingPath);
    }
    // The path is taken literally: no "~" expansion, relative to the app's directory.
    if (auto error = exportSettingsTo(services.state.settings(), *path, ExportWrite::atomic)) {
        return reply.fail("Export failed: " + *error);
    }
    reply.succeedWithMessage("Exported to: " + *path);
}

void settingsImport(const CommandServices& services, const CLICommand& command,
                    const CommandReply& reply) {
    const std::string* path = findParam(command.params, "path");
    if (!path) {
        return reply.fail(kMissingPath);
    }
    auto imported = importSettingsFrom(*path);
    if (const DecodeError* error = std::get_if<DecodeError>(&imported)) {
        return reply.fail("Import failed: " + error->description);
    }
    // The imported language is stored but the one in use stays until the next start.
    if (saved(applyImport(services.state, std::get<AppSettings>(imported)), reply)) {
        reply.succeedWithMessage("Imported from: " + *path);
    }
}

void settingsReset(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    if (saved(resetToFactory(services.state), reply)) {
        reply.succeedWithMessage("Reset to defaults");
    }
}

void settingsLanguage(const CommandServices& services, const CLICommand& command,
                      const CommandReply& reply) {
    CLIResponseData data;
    const std::string* requested = findParam(command.params, "set");
    if (!requested) {
        data.language = services.i18n.currentLang();
        return reply.succeed(std::move(data));
    }
    const SettingsManager& settings = services.state.settings();
    AppSettings stored = settings.load();
    if (!saved(settings.save(AppSettings{stored.presets, stored.tutorialCompleted, *requested}),
               reply)) {
        return;
    }
    // "auto" is resolved from the system's languages and stored in its place; any other
    // code, even one without a locale file, is used as given.
    services.i18n.loadLanguage(services.i18n.resolveLanguage());

    data.message = "Language set to: " + *requested;
    data.language = *requested;
    reply.succeed(std::move(data));
}

}  // namespace orvex
