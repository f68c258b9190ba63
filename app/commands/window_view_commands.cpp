#include "app/commands/window_view_commands.h"

#include <functional>
#include <initializer_list>

#include "app/commands/command_params.h"
#include "app/commands/preset_records.h"
#include "app/notifications/notification_center.h"
#include "app/store/app_state.h"
#include "base/main_queue.h"

namespace orvex {

namespace {

// Notifications reach their observers through the main queue, in posting order; work
// posted after them runs once every one of them has been delivered.
void postThenAnswer(const CommandServices& services, std::initializer_list<const char*> names,
                    const CommandReply& reply, std::function<std::string()> message) {
    for (const char* name : names) {
        services.notifications.post(name);
    }
    services.mainQueue.post(
        [reply, message = std::move(message)] { reply.succeedWithMessage(message()); });
}

std::function<std::string()> fixed(std::string text) {
    return [text = std::move(text)] { return text; };
}

}  // namespace

void windowShow(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    postThenAnswer(services, {notifications::showMainWindow}, reply, fixed("Window shown"));
}

void windowHide(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    postThenAnswer(services, {notifications::hideMainWindow}, reply, fixed("Window hidden"));
}

void windowTogglePin(const CommandServices& services, const CLICommand&,
                     const CommandReply& reply) {
    AppState& state = services.state;
    postThenAnswer(services, {notifications::toggleAlwaysOnTop}, reply, [&state] {
        return std::string("Always on top: ") + (state.alwaysOnTop() ? "true" : "false");
    });
}

void viewSettings(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    postThenAnswer(services, {notifications::showMainWindow, notifications::openSettings}, reply,
                   fixed("Settings opened"));
}

void viewSettingsEdit(const CommandServices& services, const CLICommand& command,
                      const CommandReply& reply) {
    const std::string* id = findParam(command.params, "id");
    if (!id) {
        return reply.fail("Missing param: id");
    }
    std::optional<PresetData> preset = findPreset(services.state.presets(), *id);
    if (!preset) {
        return reply.fail("Preset not found: " + *id);
    }
    const std::string message = "Editing: " + preset->label;
    postThenAnswer(services, {notifications::showMainWindow, notifications::openSettings}, reply,
                   fixed(message));
    NotificationCenter& center = services.notifications;
    services.mainQueue.postAfter(kEditPresetDelay, [&center, preset = std::move(*preset)] {
        center.post(notifications::editPresetById, preset);
    });
}

void viewMain(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    postThenAnswer(services, {notifications::closeSettings, notifications::showMainWindow}, reply,
                   fixed("Main view opened"));
}

void helpShow(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    postThenAnswer(services, {notifications::openHelp}, reply, fixed("Help opened"));
}

}  // namespace orvex
