#include "app/commands/debug_commands.h"

#include <optional>
#include <string>

#include "app/commands/ax_probe.h"
#include "app/commands/command_params.h"
#include "app/execution/apple_script_runner.h"
#include "app/execution/apple_scripts.h"
#include "app/execution/inputaim_invocation.h"
#include "base/log.h"
#include "base/main_queue.h"
#include "base/task_runner.h"

namespace orvex {

namespace {

void answer(const CommandReply& reply, const ProbeOutcome& outcome) {
    if (outcome.success) {
        reply.succeedWithMessage(outcome.text);
    } else {
        reply.fail(outcome.text);
    }
}

std::optional<std::string> optionalParam(const CLICommand& command, const char* key) {
    const std::string* value = findParam(command.params, key);
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

}  // namespace

void debugAxRead(const CommandServices& services, const CLICommand&, const CommandReply& reply) {
    if (!services.desktop) {
        return reply.fail(kNoDesktopSession);
    }
    answer(reply, axReadReport(*services.desktop));
}

void debugAxSelectAll(const CommandServices& services, const CLICommand&,
                      const CommandReply& reply) {
    if (!services.desktop) {
        return reply.fail(kNoDesktopSession);
    }
    answer(reply, axSelectAllReport(*services.desktop));
}

void debugCgeventCopy(const CommandServices& services, const CLICommand&,
                      const CommandReply& reply) {
    if (!services.desktop || !services.scripts) {
        return reply.fail(kNoDesktopSession);
    }
    Desktop* desktop = services.desktop;
    MainQueue& mainQueue = services.mainQueue;

    // What was in front when the command arrived, before the keystrokes change anything.
    RunningApplicationRef front = desktop->runningApplications->frontmostApplication();
    const std::string name = front ? front->localizedName().value_or("nil") : "nil";
    const bool trusted = desktop->accessibility->isProcessTrusted(false);

    desktop->pasteboard->clearContents();
    // The script's own failure does not matter: the clipboard read back tells the story.
    services.scripts->runAsync(selectAllAndCopyScript(), [=, &mainQueue](AppleScriptResult) {
        mainQueue.post([=, &mainQueue] {
            mainQueue.postAfter(kDebugSettleDelay, [=] {
                const std::string text = desktop->pasteboard->readString().value_or("");
                reply.succeedWithMessage("app=" + name +
                                         " trusted=" + (trusted ? "true" : "false") +
                                         " clipboard_len=" + std::to_string(characterCount(text)) +
                                         " text='" + firstCharacterPrefix(text, 80) + "'");
            });
        });
    });
}

void debugActivateApp(const CommandServices& services, const CLICommand& command,
                      const CommandReply& reply) {
    if (!services.desktop) {
        return reply.fail(kNoDesktopSession);
    }
    Desktop* desktop = services.desktop;
    const std::string bundleId = optionalParam(command, "bundleId").value_or(kDefaultDebugBundleId);
    const std::vector<RunningApplicationRef> apps =
        desktop->runningApplications->runningApplications(bundleId);
    if (apps.empty()) {
        return reply.fail("App not found: " + bundleId);
    }
    const bool accepted = apps.front()->activate(false);
    log::system("[Debug] activate " + bundleId + " result=" + (accepted ? "1" : "0"));

    services.mainQueue.postAfter(kDebugSettleDelay, [desktop, accepted, reply] {
        RunningApplicationRef front = desktop->runningApplications->frontmostApplication();
        const std::string name = front ? front->localizedName().value_or("nil") : "nil";
        const std::string bundle = front ? front->bundleIdentifier().value_or("nil") : "nil";
        reply.succeedWithMessage(std::string("activate=") + (accepted ? "true" : "false") +
                                 " front=" + name + " (" + bundle + ")");
    });
}

void debugPickInput(const CommandServices& services, const CLICommand& command,
                    const CommandReply& reply) {
    if (!services.desktop) {
        return reply.fail(kNoDesktopSession);
    }
    Desktop* desktop = services.desktop;
    MainQueue& mainQueue = services.mainQueue;
    const std::optional<std::string> bundleId = optionalParam(command, "bundleId");
    const std::optional<std::string> hint = optionalParam(command, "hint");
    // The tool takes a while on a busy desktop; the main queue keeps serving meanwhile.
    services.tasks.spawn([desktop, &mainQueue, bundleId, hint, reply] {
        std::string report = inputaimList(*desktop, bundleId, hint);
        mainQueue.post([reply, report = std::move(report)] { reply.succeedWithMessage(report); });
    });
}

}  // namespace orvex
