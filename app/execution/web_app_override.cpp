#include "app/execution/web_app_override.h"

#include "app/execution/url_host.h"

namespace orvex {

std::optional<std::string> applyWebAppOverride(ExecutionConfig& config, std::string_view text) {
    ExecutionConfig changed = config;
    while (!text.empty()) {
        std::string_view part = text.substr(0, text.find(','));
        text.remove_prefix(std::min(text.size(), part.size() + 1));
        const std::size_t equals = part.find('=');
        const std::string_view name = part.substr(0, equals);
        const std::string url(equals == std::string_view::npos ? "" : part.substr(equals + 1));
        WebAppAddress* app = name == "chatgpt"  ? &changed.chatgptWeb
                             : name == "gemini" ? &changed.geminiWeb
                             : name == "claude" ? &changed.claudeWeb
                                                : nullptr;
        if (!app) {
            return "unknown web app \"" + std::string(name) + "\" (chatgpt, gemini or claude)";
        }
        std::optional<std::string> host = urlHost(url);
        if (!host || host->empty()) {
            return "the address of " + std::string(name) + " has no host: \"" + url + "\"";
        }
        *app = WebAppAddress{url, *host};
    }
    config = std::move(changed);
    return std::nullopt;
}

}  // namespace orvex
