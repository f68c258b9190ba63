#include <gtest/gtest.h>

#include "protocol/cli_response.h"

namespace orvex {
namespace {

CLIPresetDetail sampleDetail() {
    CLIPresetDetail detail;
    detail.id = "P1";
    detail.label = "Notes";
    detail.shortcut = "Alt+D";
    detail.actionType = "ai";
    detail.destination = "chatgpt-app";
    detail.destinations = {"chatgpt-app", "claude-app"};
    detail.multiDestMode = "lastUsed";
    detail.fixedPrompt = "Summarise:";
    detail.folderId = "F1";
    return detail;
}

// The byte-exact printed forms of a success and a failure are checked where orvex-cli
// prints them (cli/tests).
TEST(CLIResponseText, TopLevelSummaryOmitsFolderIdAndListsStayPresentWhenEmpty) {
    CLIResponseData data;
    data.presets = std::vector<CLIPresetSummary>{{"P", "L", "", "ai", std::nullopt, {"gemini"}}};
    data.folders = std::vector<CLIFolderSummary>{};
    Json json = encodeCLIResponseData(data);
    EXPECT_FALSE(json["presets"][0].contains("folderId"));
    EXPECT_EQ(json["folders"], Json::array());
    EXPECT_EQ(json.size(), 2u);
}

TEST(CLIResponseText, FullResponseRoundTrips) {
    CLIResponseData data;
    data.message = "m";
    data.presets = std::vector<CLIPresetSummary>{
        {"P1", "Notes", "Alt+D", "ai", "F1", {"chatgpt-app"}},
        {"P2", "Term", "", "activate-app", std::nullopt, {"terminal"}}};
    data.preset = sampleDetail();
    data.folders = std::vector<CLIFolderSummary>{{"F1", "Work", false, 1}};
    data.language = "ja";
    data.status = CLIAppStatus{true, "en", 2, 1, true, true};
    CLIResponse response = successResponse("ID", data);

    auto decoded = decodeCLIResponseText(encodeCLIResponseText(response));
    ASSERT_TRUE(decoded.ok()) << decoded.error;
    EXPECT_EQ(*decoded.value, response);
    // Older readers of the status see no new key where there is nothing to say.
    EXPECT_FALSE(encodeCLIAppStatus(CLIAppStatus{}).contains("x11OnWayland"));
    Json detail = encodeCLIPresetDetail(sampleDetail());
    EXPECT_FALSE(detail.contains("type"));
    EXPECT_FALSE(detail.contains("mode"));
    EXPECT_EQ(detail.size(), 16u);
}

TEST(CLIResponseText, NullOptionalsReadAsAbsentAndUnknownKeysAreDroppedOnReEncode) {
    auto decoded = decodeCLIResponseText(R"({
        "id": "X", "success": true, "error": null, "future": {"a": 1},
        "data": {"message": "Hi", "preset": null, "language": null, "extra": 5,
                 "presets": [{"id": "P", "label": "L", "shortcut": "", "actionType": "ai",
                              "destinations": [], "folderId": null, "color": "red"}]}
    })");
    ASSERT_TRUE(decoded.ok()) << decoded.error;
    const CLIResponse& response = *decoded.value;
    EXPECT_FALSE(response.error);
    ASSERT_TRUE(response.data);
    EXPECT_EQ(response.data->message, "Hi");
    EXPECT_FALSE(response.data->preset);
    EXPECT_FALSE((*response.data->presets)[0].folderId);
    EXPECT_EQ(encodeCLIResponseText(response),
              "{\n"
              "  \"data\": {\n"
              "    \"message\": \"Hi\",\n"
              "    \"presets\": [\n"
              "      {\n"
              "        \"actionType\": \"ai\",\n"
              "        \"destinations\": [],\n"
              "        \"id\": \"P\",\n"
              "        \"label\": \"L\",\n"
              "        \"shortcut\": \"\"\n"
              "      }\n"
              "    ]\n"
              "  },\n"
              "  \"id\": \"X\",\n"
              "  \"success\": true\n"
              "}\n");
}

TEST(CLIResponseText, DataNullIsAbsentButAnEmptyDataObjectStays) {
    auto absent = decodeCLIResponseText(R"({"id":"X","success":false,"data":null})");
    ASSERT_TRUE(absent.ok()) << absent.error;
    EXPECT_FALSE(absent.value->data);
    auto empty = decodeCLIResponseText(R"({"id":"X","success":true,"data":{}})");
    ASSERT_TRUE(empty.ok()) << empty.error;
    EXPECT_EQ(encodeCLIResponse(*empty.value)["data"], Json::object());
}

TEST(CLIResponseText, CountsAcceptIntegralNumbersOnly) {
    auto status = [](const char* count) {
        return decodeCLIAppStatus(
            Json::parse(std::string(R"({"running":true,"language":"en","folderCount":0,)") +
                        R"("alwaysOnTop":false,"presetCount":)" + count + "}"),
            "status");
    };
    EXPECT_EQ(status("3").value->presetCount, 3);
    EXPECT_EQ(status("3.0").value->presetCount, 3);
    EXPECT_FALSE(status("3.5").ok());
    EXPECT_FALSE(status("\"3\"").ok());
    EXPECT_FALSE(status("18446744073709551615").ok());
}

TEST(CLIResponseText, UnreadableResponses) {
    struct Case {
        const char* text;
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
