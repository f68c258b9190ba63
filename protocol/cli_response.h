#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/json.h"
#include "protocol/cli_records.h"
#include "protocol/decode_result.h"

namespace orvex {

// The payload of a successful answer; each action sets only the fields it names.
struct CLIResponseData {
    std::optional<std::string> message;
    std::optional<std::vector<CLIPresetSummary>> presets;
    std::optional<CLIPresetDetail> preset;
    std::optional<std::vector<CLIFolderSummary>> folders;
    std::optional<std::string> language;
    std::optional<CLIAppStatus> status;

    bool operator==(const CLIResponseData&) const = default;
};

// One response file: the app's answer to the command of the same `id`.
struct CLIResponse {
    std::string id;
    bool success = false;
    std::optional<CLIResponseData> data;
    std::optional<std::string> error;

    bool operator==(const CLIResponse&) const = default;
};

// The two shapes every answer takes: success with data and no error, or failure with an
// error text and no data.
CLIResponse successResponse(std::string id, CLIResponseData data);
CLIResponse failureResponse(std::string id, std::string error);

DecodeResult<CLIResponseData> decodeCLIResponseData(const Json& json, const std::string& path);
DecodeResult<CLIResponse> decodeCLIResponse(const Json& json);
// Parses and decodes a response file's text; invalid JSON is unreadable too.
DecodeResult<CLIResponse> decodeCLIResponseText(std::string_view text);

// Absent optionals are left out, never written as null.
Json encodeCLIResponseData(const CLIResponseData& data);
Json encodeCLIResponse(const CLIResponse& response);
// The file form: pretty-printed, keys sorted, trailing newline.
std::string encodeCLIResponseText(const CLIResponse& response);

}  // namespace orvex
