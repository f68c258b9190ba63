#include "app/ui/windows/about_box.h"

#include <QApplication>
#include <QMessageBox>

#include "base/version.h"

namespace orvex {
namespace {

// The name is a proper name: the same in every language.
constexpr const char* kProgramName = "Orvex";

}  // namespace

const char* orvexVersion() {
    return kOrvexVersion;
}

std::unique_ptr<QMessageBox> makeAboutBox(QWidget* parent, LocalizationManager& i18n) {
    auto made = std::make_unique<QMessageBox>(parent);
    QMessageBox& box = *made;
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
    return made;
}

void showAboutBox(QWidget* parent, LocalizationManager& i18n) {
    makeAboutBox(parent, i18n)->exec();
}

}  // namespace orvex
