#include "app/ui/windows/palette.h"

#include <utility>

namespace orvex::palette {

QString withColours(QString rules) {
    // Longer names first, so "@surface" never eats the start of "@surfaceHover".
    static const std::pair<QLatin1StringView, QLatin1StringView> kNames[] = {
        {QLatin1StringView("@surfacePressed"), kSurfacePressed},
        {QLatin1StringView("@surfaceHover"), kSurfaceHover},
        {QLatin1StringView("@surface"), kSurface},
        {QLatin1StringView("@background"), kBackground},
        {QLatin1StringView("@border"), kBorder},
        {QLatin1StringView("@secondaryText"), kSecondaryText},
        {QLatin1StringView("@disabledText"), kDisabledText},
        {QLatin1StringView("@text"), kText},
        {QLatin1StringView("@accentHover"), kAccentHover},
        {QLatin1StringView("@accent"), kAccent},
    };
    for (const auto& [name, colour] : kNames) {
        rules.replace(name, colour);
    }
    return rules;
}

}  // namespace orvex::palette
