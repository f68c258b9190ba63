#include <iostream>
#include <string>
#include <vector>

#include "base/clock.h"
#include "cli/core/cli_runner.h"

int main(int argc, char** argv) {
    orvex::RealClock clock;
    orvex::CliEnvironment environment{clock, std::cout, std::cerr};
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return orvex::runCli(arguments, environment);
}
