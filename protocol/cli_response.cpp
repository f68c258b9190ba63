#include "protocol/cli_response.h"

#include "protocol/field_reader.h"

namespace orvex {

CLIResponse successResponse(std::string id, CLIResponseData data) {
    return CLIResponse{std::move(id), true, std::move(data), std::nullopt};
}

CLIResponse failureResponse(std::string id, std::string error) {
    return CLIResponse{std::move(id), false, std::nullopt, std::move(error)};
}

DecodeResult<CLIResponseData> decodeCLIResponseData(const Json& json, const std::string& path) {
    FieldReader reader(json, path);
    CLIResponseData data;
    reader.optionalString("message", data.message);
    reader.optionalRecordList("presets", data.presets, decodeCLIPresetSummary);
    reader.optionalRecord("preset", data.preset, decodeCLIPresetDetail);
    reader.optionalRecordList("folders", data.folders, decodeCLIFolderSummary);
    reader.optionalString("language", data.language);
    reader.optionalRecord("status", data.status, decodeCLIAppStatus);
    return reader.finish(std::move(data));
}

DecodeResult<CLIResponse> decodeCLIResponse(const Json& json) {
    FieldReader reader(json, "response");
    CLIResponse response;
    reader.string("id", response.id);
    reader.boolean("success", response.success);
    reader.optionalRecord("data", response.data, decodeCLIResponseData);
    reader.optionalString("error", response.error);
    return reader.finish(std::move(response));
}

DecodeResult<CLIResponse> decodeCLIResponseText(std::string_view text) {
    auto parsed = parseJson(text);
    if (!parsed.value) {
        return {std::nullopt, "invalid JSON: " + parsed.error};
    }
    return decodeCLIResponse(*parsed.value);
}

Json encodeCLIResponseData(const CLIResponseData& data) {
    Json json = Json::object();
    if (data.message) {
        json["message"] = *data.message;
    }
    if (data.presets) {
        Json list = Json::array();
        for (const auto& summary : *data.presets) {
            list.push_back(encodeCLIPresetSummary(summary));
        }
        json["presets"] = std::move(list);
    }
    if (data.preset) {
        json["preset"] = encodeCLIPresetDetail(*data.preset);
    }
    if (data.folders) {
        Json list = Json::array();
        for (const auto& folder : *data.folders) {
            list.push_back(encodeCLIFolderSummary(folder));
        }
        json["folders"] = std::move(list);
    }
    if (data.language) {
        json["language"] = *data.language;
    }
    if (data.status) {
        json["status"] = encodeCLIAppStatus(*data.status);
    }
    return json;
}

Json encodeCLIResponse(const CLIResponse& response) {
    Json json{{"id", response.id}, {"success", response.success}};
    if (response.data) {
        json["data"] = encodeCLIResponseData(*response.data);
    }
    if (response.error) {
        json["error"] = *response.error;
    }
    return json;
}

std::string encodeCLIResponseText(const CLIResponse& response) {
    return toPrettyJson(encodeCLIResponse(response));
}

}  // namespace orvex
