#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "app/commands/command_processor.h"
#include "app/store/settings_manager.h"

namespace orvex {

// The answer channel of one command. Copies share it, so a handler can carry it into a
// timer or a task; the first answer goes out and any later one is dropped, so a command
// is never answered twice.
class CommandReply {
  public:
    CommandReply(std::string commandId, CommandCompletion completion);

    // Success carrying only the fields set in `data`.
    void succeed(CLIResponseData data) const;
    // Success carrying only a message.
    void succeedWithMessage(std::string message) const;
    void fail(std::string error) const;

    const std::string& commandId() const { return shared_->commandId; }

  private:
    struct Shared {
        std::string commandId;
        CommandCompletion completion;
        std::atomic<bool> answered{false};
    };
    void send(CLIResponse response) const;

    std::shared_ptr<Shared> shared_;
};

// Answers the failure of a save the command caused and returns false; true when it was
// written.
bool saved(const SaveResult& result, const CommandReply& reply);

}  // namespace orvex
