#include "cli/core/cli_runner.h"

#include <system_error>

#include "base/atomic_file.h"
#include "base/version.h"
#include "cli/core/cli_arguments.h"
#include "cli/core/response_waiter.h"
#include "cli/core/usage_text.h"
#include "protocol/cli_command.h"
#include "protocol/cli_response.h"
#include "protocol/command_files.h"

namespace orvex {
namespace {

int fail(CliEnvironment& environment, const std::string& message) {
    environment.err << "Error: " << message << "\n";
    environment.err.flush();
    return 1;
}

}  // namespace

int runCli(const std::vector<std::string>& arguments, CliEnvironment& environment) {
    CliArguments parsed = parseCliArguments(arguments);
    if (parsed.mode == CliMode::version) {
        environment.out << "orvex-cli " << kOrvexVersion << "\n";
        environment.out.flush();
        return 0;
    }
    if (parsed.mode != CliMode::command) {
        environment.out << usageText();
        environment.out.flush();
        return parsed.mode == CliMode::help ? 0 : 1;
    }

    AppPathsResult paths = environment.resolvePaths();
    if (!paths.paths) {
        return fail(environment, paths.error);
    }
    const std::filesystem::path directory = paths.paths->commandDirectory();
    // A failure here shows up, with its reason, when the command file is written.
    createPrivateDirectory(directory, nullptr);

    CLICommand command{environment.newCommandId(), parsed.action, std::move(parsed.params)};
    auto commandFile = commandFilePath(directory, command.id);
    auto responseFile = responseFilePath(directory, command.id);
    if (!commandFile || !responseFile) {
        return fail(environment, "Unusable command id: " + command.id);
    }
    const std::string text = encodeCLICommandText(command);
    // The app drops larger command files unread; saying so now beats a ten-second timeout.
    if (text.size() > kMaxCommandFileBytes) {
        return fail(environment, "Command too large: " + std::to_string(text.size()) +
                                     " bytes, the limit is " +
                                     std::to_string(kMaxCommandFileBytes));
    }
    if (auto error = writeFileAtomically(*commandFile, text, kExchangeFileMode)) {
        return fail(environment, "Cannot write command file: " + *error);
    }

    std::optional<CLIResponse> response;
    if (auto content = waitForResponse(*responseFile, environment.clock)) {
        auto decoded = decodeCLIResponseText(*content);
        response = std::move(decoded.value);
        std::error_code ignored;
        std::filesystem::remove(*responseFile, ignored);
    }
    if (!response) {
        environment.err << kTimeoutMessage << "\n";
        environment.err.flush();
        return 1;
    }

    environment.out << encodeCLIResponseText(*response);
    environment.out.flush();
    if (!environment.out) {
        return fail(environment, "Cannot write the response to standard output");
    }
    return response->success ? 0 : 1;
}

}  // namespace orvex
