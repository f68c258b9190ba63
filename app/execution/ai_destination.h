#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/execution/execution_config.h"
#include "app/store/preset_model.h"

namespace orvex {

// The places an AI send can go, in their fixed order. Presets and the tracker's records
// hold them as identifier strings ("chatgpt-app", ...).
enum class AIDestination {
    chatgptApp,
    chatgptClassic,
    chatgptWeb,
    geminiApp,
    gemini,
    claudeApp,
    claudeWeb,
    terminal,
    lastInputField,
};

inline constexpr AIDestination kAllDestinations[] = {
    AIDestination::chatgptApp, AIDestination::chatgptClassic, AIDestination::chatgptWeb,
    AIDestination::geminiApp,  AIDestination::gemini,         AIDestination::claudeApp,
    AIDestination::claudeWeb,  AIDestination::terminal,       AIDestination::lastInputField,
};

namespace destination_ids {
inline constexpr const char* chatgptApp = "chatgpt-app";
inline constexpr const char* chatgptClassic = "chatgpt-classic";
inline constexpr const char* chatgptWeb = "chatgpt-web";
inline constexpr const char* geminiApp = "gemini-app";
inline constexpr const char* gemini = "gemini";
inline constexpr const char* claudeApp = "claude-app";
inline constexpr const char* claudeWeb = "claude-web";
inline constexpr const char* terminal = "terminal";
inline constexpr const char* lastInputField = "last-input-field";
}  // namespace destination_ids

// The identifier string of a destination.
std::string identifier(AIDestination destination);
// The destination of an identifier; none for a string outside the table.
std::optional<AIDestination> destinationFromIdentifier(std::string_view identifier);
// Where a destination is acted on, an identifier outside the table means "chatgpt-app".
AIDestination destinationOrDefault(std::string_view identifier);

// The native application's bundle identifier; none for the web cases, Terminal and the
// last input field.
std::optional<std::string> bundleIdentifier(AIDestination destination);
// The web page the web route uses for the destination; none for Terminal and the last input.
std::optional<WebFlavor> webFlavor(AIDestination destination);
// The label the input search looks for on the flavour's page: none for ChatGPT.
std::optional<std::string> inputHint(WebFlavor flavor);
// A web case's app case ("claude-web" gives "claude-app"); every other case is its own.
AIDestination appKey(AIDestination destination);
// The same on identifiers; an identifier outside the table is returned as it is.
std::string appKey(std::string_view identifier);

// The destinations of a preset as identifiers: `destinations`, or `destination` alone when
// the list is empty, with legacy identifiers mapped and repeats removed (first kept).
std::vector<std::string> normalizedDestinations(const PresetData& preset);

// The native-app destination with that bundle identifier.
std::optional<AIDestination> destinationForBundleId(std::string_view bundleId);
// The web destination whose host (or a subdomain of it) the URL is on.
std::optional<AIDestination> destinationForURL(std::string_view url, const ExecutionConfig& config);

}  // namespace orvex
