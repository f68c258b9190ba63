#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/json.h"
#include "protocol/decode_result.h"

namespace orvex {

// The payload records of a response. Every field is required when its record is present,
// except `folderId`, which is absent for a preset at the top level.

struct CLIPresetSummary {
    std::string id;
    std::string label;
    std::string shortcut;
    std::string actionType;  // "ai", "activate-app", "open-file" or "create-file"
    std::optional<std::string> folderId;
    std::vector<std::string> destinations;

    bool operator==(const CLIPresetSummary&) const = default;
};

// A preset as the client sees it: no `type`, no `mode`, a derived `actionType`.
struct CLIPresetDetail {
    std::string id;
    std::string label;
    std::string shortcut;
    std::string actionType;
    std::string destination;
    std::vector<std::string> destinations;
    std::string multiDestMode;
    std::string fixedPrompt;
    bool useCapture = false;
    bool cutText = false;
    bool autoSend = true;
    std::string filePath;
    std::string appName;
    bool createFile = false;
    std::string fileExt;
    std::optional<std::string> folderId;

    bool operator==(const CLIPresetDetail&) const = default;
};

struct CLIFolderSummary {
    std::string id;
    std::string label;
    bool open = true;
    std::int64_t presetCount = 0;

    bool operator==(const CLIFolderSummary&) const = default;
};

struct CLIAppStatus {
    bool running = true;
    std::string language;
    std::int64_t presetCount = 0;
    std::int64_t folderCount = 0;
    bool alwaysOnTop = false;
    // On a Wayland session Orvex talks X11 through XWayland: its shortcuts and keystrokes
    // reach X11 applications only. Written only when true, so older readers see nothing new.
    bool x11OnWayland = false;

    bool operator==(const CLIAppStatus&) const = default;
};

// `path` names the record in error texts, e.g. "response.data.presets[2]".
DecodeResult<CLIPresetSummary> decodeCLIPresetSummary(const Json& json, const std::string& path);
DecodeResult<CLIPresetDetail> decodeCLIPresetDetail(const Json& json, const std::string& path);
DecodeResult<CLIFolderSummary> decodeCLIFolderSummary(const Json& json, const std::string& path);
DecodeResult<CLIAppStatus> decodeCLIAppStatus(const Json& json, const std::string& path);

Json encodeCLIPresetSummary(const CLIPresetSummary& summary);
Json encodeCLIPresetDetail(const CLIPresetDetail& detail);
Json encodeCLIFolderSummary(const CLIFolderSummary& folder);
Json encodeCLIAppStatus(const CLIAppStatus& status);

}  // namespace orvex
