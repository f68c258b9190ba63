#include "app/commands/command_reply.h"

#include "base/log.h"

namespace orvex {

CommandReply::CommandReply(std::string commandId, CommandCompletion completion)
    : shared_(std::make_shared<Shared>()) {
    shared_->commandId = std::move(commandId);
    shared_->completion = std::move(completion);
}

void CommandReply::succeed(CLIResponseData data) const {
    send(successResponse(shared_->commandId, std::move(data)));
}

void CommandReply::succeedWithMessage(std::string message) const {
    CLIResponseData data;
    data.message = std::move(message);
    succeed(std::move(data));
}

void CommandReply::fail(std::string error) const {
    send(failureResponse(shared_->commandId, std::move(error)));
}

void CommandReply::send(CLIResponse response) const {
    if (shared_->answered.exchange(true)) {
        log::system("[CommandProcessor] second answer dropped for id: " + shared_->commandId);
        return;
    }
    if (shared_->completion) {
        shared_->completion(std::move(response));
    }
}

bool saved(const SaveResult& result, const CommandReply& reply) {
    if (result) {
        return true;
    }
    reply.fail("Failed to save settings: " + *result.error);
    return false;
}

}  // namespace orvex
