#include "app/ui/windows/help_theme.h"

#include "app/ui/windows/palette.h"

namespace orvex {

QString helpThemeRules() {
    // Focus rings swap the edge for the accent at the same width, so nothing moves when the
    // focus does.
    return palette::withColours(QStringLiteral(R"css(
#helpWindow { background: @background; color: @text; }
#helpWindow QScrollArea { background: transparent; }
#helpWindow QScrollArea > QWidget > QWidget { background: transparent; }
#helpWindow QLabel { color: @text; }
#helpSearch {
    background: @surface; color: @text;
    border: 2px solid @border; border-radius: 8px;
    padding: 8px 12px; font-size: 15px;
    selection-background-color: @accent;
}
#helpSearch:focus { border-color: @accent; }
#helpHeading { font-size: 24px; font-weight: 600; padding-bottom: 8px; }
#helpTocEntry {
    text-align: left; font-size: 15px; color: @text;
    background: @surface; border: 2px solid @surface; border-radius: 8px;
    padding: 12px 16px;
}
#helpTocEntry:hover { background: @surfaceHover; border-color: @surfaceHover; }
#helpTocEntry:focus { border-color: @accent; }
#helpNoResult { color: @secondaryText; font-size: 15px; padding: 24px; }
#helpBack {
    color: @accent; font-size: 14px; background: transparent;
    border: 2px solid transparent; border-radius: 8px; padding: 4px 8px;
}
#helpBack:hover { background: @surface; }
#helpBack:focus { border-color: @accent; }
#helpChapterTitle { font-size: 22px; font-weight: 600; }
#helpChapterBody { font-size: 15px; }

#tutorialCard {
    background: @surface; border: 1px solid @border; border-radius: 16px;
}
#tutorialCard QLabel { color: @text; background: transparent; }
#tutorialProgress { color: @secondaryText; font-size: 12px; }
#tutorialTitle { font-size: 20px; font-weight: 600; }
#tutorialText { font-size: 15px; }
#tutorialCard QPushButton {
    color: @text; background: @surfaceHover;
    border: 2px solid @border; border-radius: 8px; padding: 8px 16px; font-size: 14px;
}
#tutorialCard QPushButton:hover { background: @surfacePressed; }
#tutorialCard QPushButton:disabled { color: @disabledText; border-color: @surfaceHover; }
#tutorialCard QPushButton:focus { border-color: @text; }
#tutorialCard QPushButton#tutorialNext {
    color: @background; background: @accent; border-color: @accent;
    font-weight: 600;
}
#tutorialCard QPushButton#tutorialNext:hover { background: @accentHover; }
#tutorialCard QPushButton#tutorialNext:focus { border-color: @text; }
)css"));
}

}  // namespace orvex
