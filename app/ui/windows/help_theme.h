#pragma once

#include <QString>

namespace orvex {

// The style rules of the help window and the tutorial overlay, by object name, for the
// application's style sheet. Dark, around the status box's neutral green.
QString helpThemeRules();

}  // namespace orvex
