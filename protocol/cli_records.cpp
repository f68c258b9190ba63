#include "protocol/cli_records.h"

#include "protocol/field_reader.h"

namespace orvex {

DecodeResult<CLIPresetSummary> decodeCLIPresetSummary(const Json& json, const std::string& path) {
    FieldReader reader(json, path);
    CLIPresetSummary summary;
    reader.string("id", summary.id);
    reader.string("label", summary.label);
    reader.string("shortcut", summary.shortcut);
    reader.string("actionType", summary.actionType);
    reader.optionalString("folderId", summary.folderId);
    reader.stringList("destinations", summary.destinations);
    return reader.finish(std::move(summary));
}

DecodeResult<CLIPresetDetail> decodeCLIPresetDetail(const Json& json, const std::string& path) {
    FieldReader reader(json, path);
    CLIPresetDetail detail;
    reader.string("id", detail.id);
    reader.string("label", detail.label);
    reader.string("shortcut", detail.shortcut);
    reader.string("actionType", detail.actionType);
    reader.string("destination", detail.destination);
    reader.stringList("destinations", detail.destinations);
    reader.string("multiDestMode", detail.multiDestMode);
    reader.string("fixedPrompt", detail.fixedPrompt);
    reader.boolean("useCapture", detail.useCapture);
    reader.boolean("cutText", detail.cutText);
    reader.boolean("autoSend", detail.autoSend);
    reader.string("filePath", detail.filePath);
    reader.string("appName", detail.appName);
    reader.boolean("createFile", detail.createFile);
    reader.string("fileExt", detail.fileExt);
    reader.optionalString("folderId", detail.folderId);
    return reader.finish(std::move(detail));
}

DecodeResult<CLIFolderSummary> decodeCLIFolderSummary(const Json& json, const std::string& path) {
    FieldReader reader(json, path);
    CLIFolderSummary folder;
    reader.string("id", folder.id);
    reader.string("label", folder.label);
    reader.boolean("open", folder.open);
    reader.integer("presetCount", folder.presetCount);
    return reader.finish(std::move(folder));
}

DecodeResult<CLIAppStatus> decodeCLIAppStatus(const Json& json, const std::string& path) {
    FieldReader reader(json, path);
    CLIAppStatus status;
    reader.boolean("running", status.running);
    reader.string("language", status.language);
    reader.integer("presetCount", status.presetCount);
    reader.integer("folderCount", status.folderCount);
    reader.boolean("alwaysOnTop", status.alwaysOnTop);
    reader.optionalBoolean("x11OnWayland", status.x11OnWayland);
    return reader.finish(std::move(status));
}

Json encodeCLIPresetSummary(const CLIPresetSummary& summary) {
    Json json{{"id", summary.id},
              {"label", summary.label},
              {"shortcut", summary.shortcut},
              {"actionType", summary.actionType},
              {"destinations", summary.destinations}};
    if (summary.folderId) {
        json["folderId"] = *summary.folderId;
    }
    return json;
}

Json encodeCLIPresetDetail(const CLIPresetDetail& detail) {
    Json json{{"id", detail.id},
              {"label", detail.label},
              {"shortcut", detail.shortcut},
              {"actionType", detail.actionType},
              {"destination", detail.destination},
              {"destinations", detail.destinations},
              {"multiDestMode", detail.multiDestMode},
              {"fixedPrompt", detail.fixedPrompt},
              {"useCapture", detail.useCapture},
              {"cutText", detail.cutText},
              {"autoSend", detail.autoSend},
              {"filePath", detail.filePath},
              {"appName", detail.appName},
              {"createFile", detail.createFile},
              {"fileExt", detail.fileExt}};
    if (detail.folderId) {
        json["folderId"] = *detail.folderId;
    }
    return json;
}

Json encodeCLIFolderSummary(const CLIFolderSummary& folder) {
    return Json{{"id", folder.id},
                {"label", folder.label},
                {"open", folder.open},
                {"presetCount", folder.presetCount}};
}

Json encodeCLIAppStatus(const CLIAppStatus& status) {
    Json json{{"running", status.running},
              {"language", status.language},
              {"presetCount", status.presetCount},
              {"folderCount", status.folderCount},
              {"alwaysOnTop", status.alwaysOnTop}};
    if (status.x11OnWayland) {
        json["x11OnWayland"] = true;
    }
    return json;
}

}  // namespace orvex
