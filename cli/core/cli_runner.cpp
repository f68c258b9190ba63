#include "cli/core/cli_runner.h"

#include <system_error>

#include "base/atomic_file.h"
#include "base/version.h"
#include "cli/core/cli_arguments.h"
#include "cli/core/completion.h"
#include "cli/core/response_waiter.h"
#include "cli/core/usage_text.h"
#include "protocol/cli_command.h"
#include "protocol/command_files.h"

namespace orvex {
namespace {

int fail(CliEnvironment& environment, const std::string& message) {
    environment.err << "Error: " << message << "\n";
    environment.err.flush();
    return 1;
}

}  // namespace

CommandExchange exchangeCommand(const std::string& action,
                                std::map<std::string, std::string> params,
                                CliEnvironment& environment, std::chrono::milliseconds timeout) {
    CommandExchange exchange;
    AppPathsResult paths = environment.resolvePaths();
    if (!paths.paths) {
        exchange.error = paths.error;
        return exchange;
    }
    const std::filesystem::path directory = paths.paths->commandDirectory();
    // A failure here shows up, with its reason, when the command file is written.
    createPrivateDirectory(directory, nullptr);

    CLICommand command{environment.newCommandId(), action, std::move(params)};
    auto commandFile = commandFilePath(directory, command.id);
    auto responseFile = responseFilePath(directory, command.id);
    if (!commandFile || !responseFile) {
        exchange.error = "Unusable command id: " + command.id;
        return exchange;
    }
    const std::string text = encodeCLICommandText(command);
    // The app drops larger command files unread; saying so now beats a ten-second timeout.
    if (text.size() > kMaxCommandFileBytes) {
        exchange.error = "Command too large: " + std::to_string(text.size()) +
                         " bytes, the limit is " + std::to_string(kMaxCommandFileBytes);
        return exchange;
    }
    if (auto error = writeFileAtomically(*commandFile, text, kExchangeFileMode)) {
        exchange.error = "Cannot write command file: " + *error;
        return exchange;
    }

    if (auto content = waitForResponse(*responseFile, environment.clock, timeout)) {
        auto decoded = decodeCLIResponseText(*content);
        exchange.response = std::move(decoded.value);
        std::error_code ignored;
        std::filesystem::remove(*responseFile, ignored);
    }
    return exchange;
}

int runCli(const std::vector<std::string>& arguments, CliEnvironment& environment) {
    CliArguments parsed = parseCliArguments(arguments);
    if (parsed.mode == CliMode::version) {
        environment.out << "orvex-cli " << kOrvexVersion << "\n";
        environment.out.flush();
        return 0;
    }
    if (parsed.mode == CliMode::complete) {
        return printCompletions(parsed.words, environment);
    }
    if (parsed.mode != CliMode::command) {
        environment.out << usageText();
        environment.out.flush();
        return parsed.mode == CliMode::help ? 0 : 1;
    }

    CommandExchange exchange =
        exchangeCommand(parsed.action, std::move(parsed.params), environment, kResponseTimeout);
    if (!exchange.error.empty()) {
        return fail(environment, exchange.error);
    }
    if (!exchange.response) {
        environment.err << kTimeoutMessage << "\n";
        environment.err.flush();
        return 1;
    }

    environment.out << encodeCLIResponseText(*exchange.response);
    environment.out.flush();
    if (!environment.out) {
        return fail(environment, "Cannot write the response to standard output");
    }
    return exchange.response->success ? 0 : 1;
}

}  // namespace orvex
