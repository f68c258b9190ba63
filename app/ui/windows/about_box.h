#pragma once

#include <memory>

#include "app/i18n/localization_manager.h"

class QMessageBox;
class QWidget;

namespace orvex {

// The version the build was made from.
const char* orvexVersion();

// The About box: the program's name, version, summary and licence, modal over `parent`
// (may be null). makeAboutBox builds it without running it.
std::unique_ptr<QMessageBox> makeAboutBox(QWidget* parent, LocalizationManager& i18n);
void showAboutBox(QWidget* parent, LocalizationManager& i18n);

}  // namespace orvex
