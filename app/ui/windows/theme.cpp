#include "app/ui/windows/theme.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>

#include "app/ui/windows/help_theme.h"
#include "app/ui/windows/palette.h"

namespace orvex {
namespace {

using namespace palette;

// Latin first for its shapes, then the CJK face for every glyph the first one lacks.
const QStringList kFontFamilies = {"Noto Sans", "Noto Sans CJK JP", "DejaVu Sans", "sans-serif"};
constexpr int kFontPixelSize = 14;

QString styleSheet() {
    // Spacing is in multiples of 4 px. Focus shows as an accent outline, hover and press as
    // lighter surfaces, so the keyboard user always sees where Enter will go.
    return QStringLiteral(R"(
QMainWindow, QDialog { color: %1; background-color: %2; }
QScrollArea, QScrollArea > QWidget > QWidget { border: none; background: transparent; }
QLabel { background: transparent; }
QLabel#viewTitle { font-size: 18px; font-weight: 600; }
QLabel#badge {
    background-color: %3; color: %4; border-radius: 4px; padding: 0px 8px; font-size: 12px;
}
QLabel#destination, QLabel#shortcut { color: %5; font-size: 12px; }
QLabel#shortcut {
    border: 1px solid %6; border-radius: 4px; padding: 0px 4px;
}
QPushButton {
    background-color: %7; border: 1px solid %6; border-radius: 8px; padding: 8px 16px;
}
QPushButton:hover { background-color: %8; }
QPushButton:pressed { background-color: %9; }
QPushButton:focus { border: 2px solid %4; }
QPushButton#presetButton { text-align: left; padding: 0px; min-height: 56px; }
QPushButton#folderHeader {
    background-color: transparent; border: 1px solid transparent; text-align: left;
    padding: 4px 8px; font-weight: 600; color: %5;
}
QPushButton#folderHeader:hover { background-color: %7; color: %1; }
QPushButton#folderHeader:focus { border: 2px solid %4; }
QMenuBar { background-color: %2; }
QMenuBar::item { padding: 4px 12px; background: transparent; }
QMenuBar::item:selected, QMenu::item:selected { background-color: %10; }
QMenu { background-color: %7; border: 1px solid %6; padding: 4px 0px; }
QMenu::item { padding: 4px 24px; }
QMenu::separator { height: 1px; background: %6; margin: 4px 8px; }
QFrame#statusGround { background-color: %11; border-radius: 8px; margin: 1px; }
QScrollBar:vertical { background: transparent; width: 8px; margin: 0px; }
QScrollBar::handle:vertical { background: %8; border-radius: 4px; min-height: 32px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }
QToolTip { color: %1; background-color: %7; border: 1px solid %6; }
QLabel#sectionTitle { font-size: 16px; font-weight: 600; }
QLabel#fieldCaption { font-weight: 600; margin-top: 8px; }
QLabel#fieldHint { color: %5; font-size: 12px; }
QLabel#fieldWarning { color: %12; font-size: 12px; }
QLineEdit, QPlainTextEdit, QComboBox {
    background-color: %7; border: 1px solid %6; border-radius: 6px; padding: 4px 8px;
    selection-background-color: %10;
}
QLineEdit:focus, QPlainTextEdit:focus, QComboBox:focus { border: 1px solid %4; }
QComboBox QAbstractItemView { background-color: %7; border: 1px solid %6; }
QCheckBox, QRadioButton { spacing: 8px; padding: 2px 8px 2px 0px; }
QCheckBox::indicator, QRadioButton::indicator {
    width: 14px; height: 14px; border: 1px solid rgba(255, 255, 255, 0.45); background: %7;
}
QCheckBox::indicator { border-radius: 4px; }
QRadioButton::indicator { border-radius: 8px; }
QCheckBox::indicator:checked, QRadioButton::indicator:checked {
    background: %4; border: 1px solid %4;
}
QCheckBox:focus, QRadioButton:focus { color: %4; }
QPushButton#primaryButton { background-color: %13; border-color: %13; color: #ffffff; }
QPushButton#primaryButton:hover { background-color: %14; }
QPushButton#primaryButton:focus { border: 2px solid %1; }
QPushButton#dangerButton { color: %12; }
QPushButton:disabled { color: %5; background-color: transparent; }
QTreeView#presetList {
    background-color: transparent; border: 1px solid %6; border-radius: 8px; padding: 4px;
    outline: none; show-decoration-selected: 0;
}
QTreeView#presetList::item { border-radius: 6px; }
QTreeView#presetList::item:selected { background-color: %10; }
QTreeView#presetList::item:hover:!selected { background-color: %7; }
QTreeView#presetList:focus { border: 1px solid %4; }
QLabel#dropZone {
    border: 1px dashed %6; border-radius: 8px; padding: 8px; color: %5; font-size: 12px;
}
QLabel#dropZone[active="true"] { border: 1px dashed %4; color: %1; }
QFrame#shortcutBox {
    background-color: rgba(255, 255, 255, 0.05); border: 1px solid rgba(255, 255, 255, 0.10);
    border-radius: 6px;
}
QFrame#shortcutBox[focused="true"] { border: 1px solid rgb(16, 185, 129); }
QLineEdit#shortcut-input {
    background: transparent; border: none; padding: 0px; color: #ffffff; font-size: 16px;
    font-weight: 500;
}
QLineEdit#shortcut-input[warning="true"] { color: %15; }
)")
        .arg(kText, kBackground, kBadgeFill, kAccent, kSecondaryText, kBorder, kSurface,
             kSurfaceHover, kSurfacePressed, kMenuSelection, kStatusGround)
        .arg(kDanger, kPrimary, kPrimaryHover, kWarning);
}

QPalette windowPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(kBackground));
    palette.setColor(QPalette::WindowText, QColor(kText));
    palette.setColor(QPalette::Base, QColor(kSurface));
    palette.setColor(QPalette::AlternateBase, QColor(kSurfaceHover));
    palette.setColor(QPalette::Text, QColor(kText));
    palette.setColor(QPalette::Button, QColor(kSurface));
    palette.setColor(QPalette::ButtonText, QColor(kText));
    palette.setColor(QPalette::Highlight, QColor(kMenuSelection));
    palette.setColor(QPalette::HighlightedText, QColor(kText));
    palette.setColor(QPalette::PlaceholderText, QColor(kSecondaryText));
    palette.setColor(QPalette::ToolTipBase, QColor(kSurface));
    palette.setColor(QPalette::ToolTipText, QColor(kText));
    return palette;
}

}  // namespace

void applyTheme(QApplication& application) {
    // Fusion draws the same on every desktop, so the style sheet is the only source of looks.
    if (QStyle* fusion = QStyleFactory::create("Fusion")) {
        QApplication::setStyle(fusion);
    }
    QFont font = QApplication::font();
    font.setFamilies(kFontFamilies);
    font.setPixelSize(kFontPixelSize);
    QApplication::setFont(font);
    QApplication::setPalette(windowPalette());
    application.setStyleSheet(styleSheet() + helpThemeRules());
}

}  // namespace orvex
