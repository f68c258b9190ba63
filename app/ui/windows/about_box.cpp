#include "app/ui/windows/about_box.h"

#include <QApplication>
#include <QMessageBox>

namespace orvex {
namespace {

// The name is a proper name: the same in every language.
constexpr const char* kProgramName = "Orvex";

}  // namespace

const char* orvexVersion() {
    return ORVEX_VERSION;
}

void showAboutBox(QWidget* parent, LocalizationManager& i18n) {
    QMessageBox box(parent);
    box.setObjectName("aboutBox");
    box.setWindowTitle(QString::fromStdString(i18n.text("menu.about")));
    if (!QApplication::windowIcon().isNull()) {
        box.setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    }
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(kProgramName) + QLatin1Char(' ') +
                QString::fromUtf8(orvexVersion()));
    box.setInformativeText(
        QString::fromStdString(i18n.text("about.summary") + "\n\n" + i18n.text("about.licence")));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace orvex
