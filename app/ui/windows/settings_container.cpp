#include "app/ui/windows/settings_container.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvex {

SettingsContainer::SettingsContainer(LocalizationManager& i18n, NotificationCenter& notifications,
                                     QWidget* parent)
    : QWidget(parent), i18n_(i18n) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 24);
    layout->setSpacing(16);
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    back_ = new QPushButton(this);
    back_->setObjectName("backButton");
    connect(back_, &QPushButton::clicked, this,
            [&notifications] { notifications.post(notifications::closeSettings); });
    title_ = new QLabel(this);
    title_->setObjectName("viewTitle");
    top->addWidget(back_);
    top->addWidget(title_, 1);
    layout->addLayout(top);
    layout->addStretch(1);

    retranslate();
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { retranslate(); }, Qt::QueuedConnection);
    });
}

SettingsContainer::~SettingsContainer() {
    i18n_.removeObserver(languageObserver_);
}

QWidget* SettingsContainer::firstFocus() const {
    return back_;
}

void SettingsContainer::retranslate() {
    title_->setText(QString::fromStdString(i18n_.text("settings.title")));
    back_->setText(QString::fromStdString(i18n_.text("settings.back")));
    back_->setAccessibleName(back_->text());
}

}  // namespace orvex
