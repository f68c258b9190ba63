#pragma once

class QApplication;

namespace orvex {

// The look of every Orvex window: a calm dark palette built around the status box's neutral
// green-black, one style sheet, and fonts that cover Japanese as well as Latin text.
void applyTheme(QApplication& application);

}  // namespace orvex
