// Command files anyone who can write to the command directory may drop, and the response
// files orvex-cli reads back.
#include "fuzz/fuzz_check.h"
#include "protocol/cli_command.h"
#include "protocol/cli_response.h"
#include "protocol/command_files.h"

using namespace orvex;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view text = fuzz::text(data, size);
    if (auto response = decodeCLIResponseText(text); response.ok()) {
        auto again = decodeCLIResponseText(encodeCLIResponseText(*response.value));
        fuzz::check(again.ok() && *again.value == *response.value,
                    "a response does not read back as written");
    }
    auto command = decodeCLICommandText(text);
    if (!command.ok()) {
        return 0;
    }
    auto again = decodeCLICommandText(encodeCLICommandText(*command.value));
    fuzz::check(again.ok() && *again.value == *command.value,
                "a command does not read back as written");
    // The id names the response file: a safe one must stay one name inside the directory.
    const std::string& id = command.value->id;
    fuzz::check(isSafeCommandId(id) == !unsafeCommandIdReason(id).has_value(),
                "the two id checks disagree");
    if (auto path = responseFilePath("/queue", id)) {
        fuzz::check(path->parent_path() == "/queue" && path->filename() == responseFileName(id),
                    "a safe id leaves the command directory");
        fuzz::check(isResponseFileName(responseFileName(id)) &&
                        isCommandFileName(commandFileName(id)) &&
                        !isCommandFileName(responseFileName(id)),
                    "a safe id's file names are not recognised as what they are");
    }
    return 0;
}
