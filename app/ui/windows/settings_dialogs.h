#pragma once

#include <QDateTime>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"

class QMessageBox;
class QPushButton;
class QWidget;

namespace orvex {

// A yes-or-no question about something that cannot be undone.
struct Confirmation {
    QString message;
    QString detail;
    QString proceed;  // the first button, the only one that goes on
    QString cancel;
    // Return presses the cancel button and the proceed button answers to no key;
    // otherwise Return proceeds.
    bool returnCancels = false;
};

// What the settings actions ask of the user. Every member is called on the main thread;
// tests put answers of their own in place of the dialogs.
struct SettingsQuestions {
    // Where to write the export; nothing when the user gives up.
    std::function<std::optional<std::filesystem::path>(const QString& title,
                                                       const QString& proposedName)>
        askSavePath;
    // Which file to import; nothing when the user gives up.
    std::function<std::optional<std::filesystem::path>(const QString& title)> askOpenPath;
    // True only for the proceed button.
    std::function<bool(const Confirmation& question)> confirm;
    std::function<void(const QString& message, const QString& detail)> warn;
};

// The desktop's own file dialogs and Qt message boxes, over `parent` (may be null).
SettingsQuestions dialogQuestions(QWidget* parent);

// The confirmation box as it is shown, built but not run. The caller owns the box, execs
// it and compares clickedButton() with `proceed`.
struct ConfirmationBox {
    QMessageBox* box = nullptr;
    QPushButton* proceed = nullptr;
    QPushButton* cancel = nullptr;
};
ConfirmationBox buildConfirmationBox(QWidget* parent, const Confirmation& question);

// "orvex-settings-" + the local time as yyMMdd.HHmmss + ".json".
QString proposedExportName(const QDateTime& localTime);

// The export, import and reset of the settings menu, each wrapped in its dialogs. The
// work itself is the store's; these only ask and tell.
class SettingsDialogs {
  public:
    // `rebuildMainView` runs after an import or a reset has replaced the presets.
    SettingsDialogs(AppState& state, LocalizationManager& i18n, QWidget* parent = nullptr,
                    std::function<void()> rebuildMainView = {});

    void exportSettings();
    void importSettings();
    void resetPresets();

    // Replaceable for tests; the dialogs over the parent by default.
    SettingsQuestions questions;
    std::function<void()> rebuildMainView;
    // The clock of the proposed export name.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

  private:
    QString text(const char* key) const;

    AppState& state_;
    LocalizationManager& i18n_;
};

}  // namespace orvex
