#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace orvex {

// The three AI services reachable as web pages in the browser.
enum class WebFlavor { chatgpt, gemini, claude };

// One service's web app: the page the web route opens and the host that identifies its
// tabs (a tab belongs to the service when its host is this one or a subdomain of it).
struct WebAppAddress {
    std::string address;
    std::string host;
};

// Configuration constants of preset execution, gathered in one place. Tests replace them
// (for example with hosts the simulated browser serves).
struct ExecutionConfig {
    WebAppAddress chatgptWeb{"https://chatgpt.com/", "chatgpt.com"};
    WebAppAddress geminiWeb{"https://gemini.google.com/app", "gemini.google.com"};
    WebAppAddress claudeWeb{"https://claude.ai/new", "claude.ai"};

    // The applications the scripts' "Google Chrome" drives: on another desktop the browser
    // has other identifiers (its desktop entry), which the desktop backend adds here.
    std::vector<std::string> chromeBundleIds{"com.google.Chrome"};

    bool isChrome(const std::string& bundleId) const {
        return std::find(chromeBundleIds.begin(), chromeBundleIds.end(), bundleId) !=
               chromeBundleIds.end();
    }

    const WebAppAddress& webApp(WebFlavor flavor) const {
        switch (flavor) {
            case WebFlavor::gemini:
                return geminiWeb;
            case WebFlavor::claude:
                return claudeWeb;
            case WebFlavor::chatgpt:
                break;
        }
        return chatgptWeb;
    }
};

}  // namespace orvex
