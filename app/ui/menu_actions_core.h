#pragma once

#include <string>

#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"
#include "desktop/desktop.h"

namespace orvex {

// The pages the help menu opens: one for Japanese, one for every other language.
struct WebAddresses {
    std::string website = "https://orvex.app/";
    std::string websiteJa = "https://orvex.app/ja/";
    std::string askAI = "https://orvex.app/ask";
    std::string askAIJa = "https://orvex.app/ja/ask";
};

// The address for the current language.
std::string websiteFor(const WebAddresses& addresses, const std::string& language);
std::string askAIFor(const WebAddresses& addresses, const std::string& language);

// Opens a page in the desktop's default browser; false when there is no desktop or it
// refused.
bool openPage(Desktop* desktop, const std::string& address);

// The language menu's change: stored with the presets and the tutorial flag kept, loaded,
// and handed to the desktop as this application's language. The caller restarts Orvex
// afterwards so that every text is built anew. A refused save changes nothing.
SaveResult switchLanguage(AppState& state, LocalizationManager& i18n, Desktop* desktop,
                          const std::string& language);

}  // namespace orvex
