#include "app/ui/menu_actions_core.h"

namespace orvex {

std::string websiteFor(const WebAddresses& addresses, const std::string& language) {
    return language == "ja" ? addresses.websiteJa : addresses.website;
}

std::string askAIFor(const WebAddresses& addresses, const std::string& language) {
    return language == "ja" ? addresses.askAIJa : addresses.askAI;
}

bool openPage(Desktop* desktop, const std::string& address) {
    return desktop && desktop->workspace->openURL(address);
}

SaveResult switchLanguage(AppState& state, LocalizationManager& i18n, Desktop* desktop,
                          const std::string& language) {
    const SettingsManager& settings = state.settings();
    AppSettings stored = settings.load();
    SaveResult result =
        settings.save(AppSettings{stored.presets, stored.tutorialCompleted, language});
    if (!result) {
        return result;
    }
    i18n.loadLanguage(i18n.resolveLanguage());
    if (desktop) {
        desktop->userDefaults->setInterfaceLanguages({language});
    }
    return result;
}

}  // namespace orvex
