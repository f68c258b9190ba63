#pragma once

#include "app/i18n/localization_manager.h"

class QWidget;

namespace orvex {

// The version the build was made from.
const char* orvexVersion();

// The About box: the program's name and version, modal over `parent` (may be null).
void showAboutBox(QWidget* parent, LocalizationManager& i18n);

}  // namespace orvex
