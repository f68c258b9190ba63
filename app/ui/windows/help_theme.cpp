#include "app/ui/windows/help_theme.h"

namespace orvex {

QString helpThemeRules() {
    // Colours: ground 10,26,22; raised 18,44,37; edge 44,90,76; text 230,240,236;
    // quiet text 159,184,176; accent 56,178,140. Focus rings swap the edge for the accent
    // at the same width, so nothing moves when the focus does.
    return QStringLiteral(R"css(
#helpWindow { background: rgb(10, 26, 22); color: rgb(230, 240, 236); }
#helpWindow QScrollArea { background: transparent; }
#helpWindow QScrollArea > QWidget > QWidget { background: transparent; }
#helpWindow QLabel { color: rgb(230, 240, 236); }
#helpSearch {
    background: rgb(18, 44, 37); color: rgb(230, 240, 236);
    border: 2px solid rgb(44, 90, 76); border-radius: 8px;
    padding: 8px 12px; font-size: 15px;
    selection-background-color: rgb(56, 178, 140);
}
#helpSearch:focus { border-color: rgb(56, 178, 140); }
#helpHeading { font-size: 24px; font-weight: 600; padding-bottom: 8px; }
#helpTocEntry {
    text-align: left; font-size: 15px; color: rgb(230, 240, 236);
    background: rgb(18, 44, 37); border: 2px solid rgb(18, 44, 37); border-radius: 8px;
    padding: 12px 16px;
}
#helpTocEntry:hover { background: rgb(26, 60, 51); border-color: rgb(26, 60, 51); }
#helpTocEntry:focus { border-color: rgb(56, 178, 140); }
#helpNoResult { color: rgb(159, 184, 176); font-size: 15px; padding: 24px; }
#helpBack {
    color: rgb(56, 178, 140); font-size: 14px; background: transparent;
    border: 2px solid transparent; border-radius: 8px; padding: 4px 8px;
}
#helpBack:hover { background: rgb(18, 44, 37); }
#helpBack:focus { border-color: rgb(56, 178, 140); }
#helpChapterTitle { font-size: 22px; font-weight: 600; }
#helpChapterBody { font-size: 15px; }

#tutorialCard {
    background: rgb(18, 44, 37); border: 1px solid rgb(44, 90, 76); border-radius: 16px;
}
#tutorialCard QLabel { color: rgb(230, 240, 236); background: transparent; }
#tutorialProgress { color: rgb(159, 184, 176); font-size: 12px; }
#tutorialTitle { font-size: 20px; font-weight: 600; }
#tutorialText { font-size: 15px; }
#tutorialCard QPushButton {
    color: rgb(230, 240, 236); background: rgb(28, 60, 51);
    border: 2px solid rgb(44, 90, 76); border-radius: 8px; padding: 8px 16px; font-size: 14px;
}
#tutorialCard QPushButton:hover { background: rgb(36, 74, 63); }
#tutorialCard QPushButton:disabled { color: rgb(90, 120, 110); border-color: rgb(32, 64, 55); }
#tutorialCard QPushButton:focus { border-color: rgb(230, 240, 236); }
#tutorialCard QPushButton#tutorialNext {
    color: rgb(6, 20, 16); background: rgb(56, 178, 140); border-color: rgb(56, 178, 140);
    font-weight: 600;
}
#tutorialCard QPushButton#tutorialNext:hover { background: rgb(72, 196, 158); }
#tutorialCard QPushButton#tutorialNext:focus { border-color: rgb(230, 240, 236); }
)css");
}

}  // namespace orvex
