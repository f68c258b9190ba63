#include "app/execution/ai_destination.h"

#include <algorithm>

#include "app/execution/url_host.h"

namespace orvex {
namespace {

struct DestinationRow {
    AIDestination destination;
    const char* identifier;
    const char* bundleId;  // null when the destination has no native app
    std::optional<WebFlavor> flavor;
    AIDestination appKey;
};

const DestinationRow kTable[] = {
    {AIDestination::chatgptApp, destination_ids::chatgptApp, "com.openai.codex", WebFlavor::chatgpt,
     AIDestination::chatgptApp},
    {AIDestination::chatgptClassic, destination_ids::chatgptClassic, "com.openai.chat",
     WebFlavor::chatgpt, AIDestination::chatgptClassic},
    {AIDestination::chatgptWeb, destination_ids::chatgptWeb, nullptr, WebFlavor::chatgpt,
     AIDestination::chatgptApp},
    {AIDestination::geminiApp, destination_ids::geminiApp, "com.google.GeminiMacOS",
     WebFlavor::gemini, AIDestination::geminiApp},
    {AIDestination::gemini, destination_ids::gemini, nullptr, WebFlavor::gemini,
     AIDestination::geminiApp},
    {AIDestination::claudeApp, destination_ids::claudeApp, "com.anthropic.claudefordesktop",
     WebFlavor::claude, AIDestination::claudeApp},
    {AIDestination::claudeWeb, destination_ids::claudeWeb, nullptr, WebFlavor::claude,
     AIDestination::claudeApp},
    {AIDestination::terminal, destination_ids::terminal, nullptr, std::nullopt,
     AIDestination::terminal},
    {AIDestination::lastInputField, destination_ids::lastInputField, nullptr, std::nullopt,
     AIDestination::lastInputField},
};

const DestinationRow& row(AIDestination destination) {
    return kTable[static_cast<std::size_t>(destination)];
}

std::string lowercase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string identifier(AIDestination destination) {
    return row(destination).identifier;
}

std::optional<AIDestination> destinationFromIdentifier(std::string_view identifier) {
    for (const DestinationRow& entry : kTable) {
        if (identifier == entry.identifier) {
            return entry.destination;
        }
    }
    return std::nullopt;
}

AIDestination destinationOrDefault(std::string_view identifier) {
    return destinationFromIdentifier(identifier).value_or(AIDestination::chatgptApp);
}

std::optional<std::string> bundleIdentifier(AIDestination destination) {
    const char* bundleId = row(destination).bundleId;
    return bundleId ? std::optional<std::string>(bundleId) : std::nullopt;
}

std::optional<WebFlavor> webFlavor(AIDestination destination) {
    return row(destination).flavor;
}

std::optional<std::string> inputHint(WebFlavor flavor) {
    switch (flavor) {
        case WebFlavor::gemini:
            return "Gemini";
        case WebFlavor::claude:
            return "クロード";
        case WebFlavor::chatgpt:
            break;
    }
    return std::nullopt;
}

AIDestination appKey(AIDestination destination) {
    return row(destination).appKey;
}

std::string appKey(std::string_view identifier) {
    if (auto destination = destinationFromIdentifier(identifier)) {
        return orvex::identifier(appKey(*destination));
    }
    return std::string(identifier);
}

std::vector<std::string> normalizedDestinations(const PresetData& preset) {
    std::vector<std::string> stored = preset.destinations;
    if (stored.empty()) {
        stored.push_back(preset.destination);
    }
    std::vector<std::string> result;
    for (const std::string& key : stored) {
        std::string mapped = migrateDestinationKey(key);
        if (std::find(result.begin(), result.end(), mapped) == result.end()) {
            result.push_back(std::move(mapped));
        }
    }
    return result;
}

std::optional<AIDestination> destinationForBundleId(std::string_view bundleId) {
    for (const DestinationRow& entry : kTable) {
        if (entry.bundleId && bundleId == entry.bundleId) {
            return entry.destination;
        }
    }
    return std::nullopt;
}

std::optional<AIDestination> destinationForURL(std::string_view url,
                                               const ExecutionConfig& config) {
    std::optional<std::string> written = urlHost(url);
    if (!written) {
        return std::nullopt;
    }
    // Host names are case-insensitive; the address bar may show them either way.
    std::optional<std::string> host = lowercase(*written);
    for (AIDestination web :
         {AIDestination::chatgptWeb, AIDestination::gemini, AIDestination::claudeWeb}) {
        std::string flavorHost = lowercase(config.webApp(*webFlavor(web)).host);
        if (*host == flavorHost || endsWith(*host, "." + flavorHost)) {
            return web;
        }
    }
    return std::nullopt;
}

}  // namespace orvex
