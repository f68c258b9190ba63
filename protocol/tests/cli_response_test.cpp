#include <gtest/gtest.h>

#include "protocol/cli_response.h"

namespace orvex {
namespace {

// The printed forms of answers, nulls and unknown keys included, are checked where orvex-cli
// prints them (cli/tests); the lists' shapes through the running program (app/ui/e2e).
TEST(CLIResponseText, EveryFieldRoundTrips) {
    const CLIPresetDetail detail{
        "P1",       "Notes",      "Alt+D", "ai", "chatgpt-app", {"chatgpt-app", "claude-app"},
        "lastUsed", "Summarise:", true,    true, false,         "~/a.txt",
        "Mail",     true,         "md",    "F1"};
    CLIResponseData data;
    data.message = "m";
    data.presets = std::vector<CLIPresetSummary>{
        {"P1", "Notes", "Alt+D", "ai", "F1", {"chatgpt-app"}},
        {"P2", "Term", "", "activate-app", std::nullopt, {"terminal"}}};
    data.preset = detail;
    data.folders = std::vector<CLIFolderSummary>{{"F1", "Work", false, 1}};
    data.language = "ja";
    data.status = CLIAppStatus{true, "en", 2, 1, true, true};
    CLIResponse response = successResponse("ID", data);

    auto decoded = decodeCLIResponseText(encodeCLIResponseText(response));
    ASSERT_TRUE(decoded.ok()) << decoded.error;
    EXPECT_EQ(*decoded.value, response);
    // Older readers of the status see no new key where there is nothing to say.
    EXPECT_FALSE(encodeCLIAppStatus(CLIAppStatus{}).contains("x11OnWayland"));
}

TEST(CLIResponseText, UnreadableResponses) {
    const std::string status =
        R"({"id":"X","success":true,"data":{"status":{"running":true,"language":"en",)"
        R"("folderCount":0,"alwaysOnTop":false,"presetCount":)";
    // A whole number written with a fraction is still a count.
    EXPECT_TRUE(decodeCLIResponseText(status + "3.0}}}").ok());
    struct Case {
        std::string text;
        const char* why;
    };
    const Case cases[] = {
        {R"({"success":true})", "response: key \"id\" is missing"},
        {R"({"id":"X"})", "key \"success\" is missing"},
        {R"({"id":"X","success":"true"})", "\"success\" must be a boolean"},
        {R"({"id":"X","success":false,"error":5})", "\"error\" must be a string"},
        {R"({"id":"X","success":true,"data":[]})", "response.data: must be a JSON object"},
        {R"({"id":"X","success":true,"data":{"status":{"running":true,"language":"en",
            "presetCount":1,"folderCount":0}}})",
         "response.data.status: key \"alwaysOnTop\" is missing"},
        {R"({"id":"X","success":true,"data":{"status":{"running":true,"language":"en",
            "presetCount":1,"folderCount":0,"alwaysOnTop":false,"x11OnWayland":1}}})",
         "\"x11OnWayland\" must be a boolean"},
        {status + "3.5}}}", "presetCount"},
        {status + "\"3\"}}}", "presetCount"},
        {status + "18446744073709551615}}}", "presetCount"},
        {R"({"id":"X","success":true,"data":{"folders":[{"id":"F","label":"W","open":true,
            "presetCount":0},{"id":"G","label":"V","presetCount":0}]}})",
         "response.data.folders[1]: key \"open\" is missing"},
        {R"({"id":"X","success":true,"data":{"presets":[{"id":"P","label":"L","shortcut":"",
            "actionType":"ai","destinations":["a",1]}]}})",
         "\"destinations\" must be a list of strings"},
        {R"({"id":"X","success":true,"data":{"presets":{}}})", "\"presets\" must be a list"},
        {"not json", "invalid JSON"},
    };
    for (const auto& c : cases) {
        auto decoded = decodeCLIResponseText(c.text);
        EXPECT_FALSE(decoded.ok()) << c.text;
        EXPECT_NE(decoded.error.find(c.why), std::string::npos)
            << c.text << " -> " << decoded.error;
    }
}

}  // namespace
}  // namespace orvex
