#include "app/ui/windows/settings_container.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/windows/settings_screen.h"

namespace orvex {

SettingsContainer::SettingsContainer(AppState& state, LocalizationManager& i18n,
                                     NotificationCenter& notifications, SettingsScreenHooks hooks,
                                     QWidget* parent)
    : QWidget(parent), i18n_(i18n), notifications_(notifications) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 24);
    layout->setSpacing(16);
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    back_ = new QPushButton(this);
    back_->setObjectName("backButton");
    title_ = new QLabel(this);
    title_->setObjectName("viewTitle");
    top->addWidget(back_);
    top->addWidget(title_, 1);
    layout->addLayout(top);
    screen_ = new SettingsScreen(state, i18n, std::move(hooks), this);
    layout->addWidget(screen_, 1);
    connect(back_, &QPushButton::clicked, this, [this] {
        // Unsaved edits are asked about before the page goes; saved ones are in the list.
        if (screen_->confirmLeave()) {
            notifications_.post(notifications::closeSettings);
        }
    });
    editObserver_ = notifications_.addObserver(notifications::editPresetById,
                                               [this](const AppNotification& notification) {
                                                   if (notification.preset) {
                                                       screen_->editPreset(notification.preset->id);
                                                   }
                                               });

    retranslate();
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { retranslate(); }, Qt::QueuedConnection);
    });
}

SettingsContainer::~SettingsContainer() {
    i18n_.removeObserver(languageObserver_);
    notifications_.removeObserver(editObserver_);
}

QWidget* SettingsContainer::firstFocus() const {
    return screen_->firstFocus();
}

void SettingsContainer::retranslate() {
    title_->setText(QString::fromStdString(i18n_.text("settings.title")));
    back_->setText(QString::fromStdString(i18n_.text("settings.back")));
    back_->setAccessibleName(back_->text());
}

}  // namespace orvex
