// The programs as a shell user meets them.

#include <gtest/gtest.h>

#include <regex>

#include "app/ui/e2e/e2e_support.h"
#include "testing/source_tree.h"

namespace orvex::e2e {
namespace {

std::string projectVersion() {
    const std::string top = readText(testing::sourceDir() / "CMakeLists.txt");
    std::smatch match;
    return std::regex_search(top, match, std::regex(R"(project\(Orvex VERSION ([0-9.]+))"))
               ? match[1].str()
               : "";
}

TEST(ProgramEndToEnd, EachProgramPrintsTheProjectsVersion) {
    Sandbox sandbox;
    const std::string version = projectVersion();
    ASSERT_FALSE(version.empty());
    for (const std::string program : {"orvex", "orvex-cli", "inputaim"}) {
        // inputaim is built with the Linux desktop backend only.
        if (program == "inputaim" && !std::filesystem::exists(testing::builtProgram(program))) {
            const char* required = std::getenv("ORVEX_REQUIRE_DESKTOP_TOOLS");
            EXPECT_FALSE(required && std::string_view(required) == "1") << "inputaim not built";
            continue;
        }
        testing::ChildResult run = sandbox.run(program, {"--version"});
        EXPECT_EQ(run.exitCode, 0) << program << run.err;
        EXPECT_EQ(run.out, program + " " + version + "\n");
    }
}

}  // namespace
}  // namespace orvex::e2e
