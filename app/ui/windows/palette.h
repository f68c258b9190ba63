#pragma once

#include <QLatin1StringView>
#include <QString>

namespace orvex::palette {

// The colours of every window, named once. The background sits just above the status box's
// neutral fill (rgb 10, 26, 22), so the box reads as part of the window rather than a patch
// on it; surfaces step lighter for raised, hovered and pressed controls.
inline constexpr QLatin1StringView kBackground{"#0c1714"};
inline constexpr QLatin1StringView kSurface{"#14241f"};
inline constexpr QLatin1StringView kSurfaceHover{"#1c3129"};
inline constexpr QLatin1StringView kSurfacePressed{"#244035"};
inline constexpr QLatin1StringView kBorder{"rgba(255, 255, 255, 0.10)"};
inline constexpr QLatin1StringView kText{"#e6eeeb"};
inline constexpr QLatin1StringView kSecondaryText{"#9db3ab"};
inline constexpr QLatin1StringView kDisabledText{"#5a786e"};
inline constexpr QLatin1StringView kAccent{"#5fd3a6"};
inline constexpr QLatin1StringView kAccentHover{"#7fe0bb"};
inline constexpr QLatin1StringView kBadgeFill{"rgba(95, 211, 166, 0.16)"};
inline constexpr QLatin1StringView kMenuSelection{"#24403d"};
inline constexpr QLatin1StringView kStatusGround{"#eef3f1"};
inline constexpr QLatin1StringView kDanger{"#f28b82"};
inline constexpr QLatin1StringView kPrimary{"#0f8a63"};
inline constexpr QLatin1StringView kPrimaryHover{"#12a575"};
// The warning of the shortcut field: the desktop's usual orange.
inline constexpr QLatin1StringView kWarning{"#ff9500"};

// Style rules written with "@name" for the colours above ("@background", "@surface",
// "@surfaceHover", "@surfacePressed", "@border", "@text", "@secondaryText",
// "@disabledText", "@accent", "@accentHover"), with the colours put in.
QString withColours(QString rules);

}  // namespace orvex::palette
