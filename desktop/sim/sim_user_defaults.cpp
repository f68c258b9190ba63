#include "desktop/sim/sim_user_defaults.h"

#include "desktop/sim/sim_desktop.h"
#include "desktop/sim/sim_state.h"

namespace orvex {

std::vector<std::string> SimUserDefaults::preferredLanguages() {
    std::lock_guard lock(desktop_.mutex_);
    return desktop_.state_->preferredLanguages;
}

void SimUserDefaults::setInterfaceLanguages(const std::vector<std::string>& languages) {
    std::lock_guard lock(desktop_.mutex_);
    SimState& state = *desktop_.state_;
    std::string joined;
    for (const std::string& language : languages) {
        joined += (joined.empty() ? "" : ",") + language;
    }
    state.defaults[state.selfKey]["AppleLanguages"] = joined;
    state.record("interfaceLanguages", {{"languages", languages}});
}

std::optional<std::string> SimUserDefaults::stringForKey(const std::string& suite,
                                                         const std::string& key) {
    std::lock_guard lock(desktop_.mutex_);
    const auto& defaults = desktop_.state_->defaults;
    auto domain = defaults.find(suite);
    if (domain == defaults.end())
        return std::nullopt;
    auto value = domain->second.find(key);
    if (value == domain->second.end())
        return std::nullopt;
    return value->second;
}

}  // namespace orvex
