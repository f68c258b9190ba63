#include "app/ui/windows/settings_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <memory>
#include <variant>

#include "app/store/settings_transfer.h"

namespace orvex {
namespace {

const QString kJsonFilter = QStringLiteral("JSON (*.json)");

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::optional<std::filesystem::path> chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // File names are bytes on Linux; the local encoding gives back the ones the user chose.
    return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().first()).toStdString());
}

QString startDirectory() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

}  // namespace

QString proposedExportName(const QDateTime& localTime) {
    return QStringLiteral("orvex-settings-") + localTime.toString(QStringLiteral("yyMMdd.HHmmss")) +
           QStringLiteral(".json");
}

ConfirmationBox buildConfirmationBox(QWidget* parent, const Confirmation& question) {
    auto* box = new QMessageBox(parent);
    box->setIcon(QMessageBox::Warning);
    box->setText(question.message);
    box->setInformativeText(question.detail);
    QPushButton* proceed = box->addButton(question.proceed, QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(question.cancel, QMessageBox::RejectRole);
    box->setEscapeButton(cancel);
    if (question.returnCancels) {
        // Even with the focus on it, Return does not press the button that goes on.
        proceed->setAutoDefault(false);
        box->setDefaultButton(cancel);
    } else {
        box->setDefaultButton(proceed);
    }
    return {box, proceed, cancel};
}

SettingsQuestions dialogQuestions(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    SettingsQuestions questions;
    questions.askSavePath = [owner](const QString& title, const QString& proposedName) {
        QFileDialog dialog(owner, title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(kJsonFilter);
        dialog.setDefaultSuffix(QStringLiteral("json"));
        dialog.setDirectory(startDirectory());
        dialog.selectFile(proposedName);
        return chosenFile(dialog);
    };
    questions.askOpenPath = [owner](const QString& title) {
        QFileDialog dialog(owner, title);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(kJsonFilter);
        dialog.setDirectory(startDirectory());
        return chosenFile(dialog);
    };
    questions.confirm = [owner](const Confirmation& question) {
        ConfirmationBox built = buildConfirmationBox(owner, question);
        std::unique_ptr<QMessageBox> box(built.box);
        box->exec();
        return box->clickedButton() == built.proceed;
    };
    questions.warn = [owner](const QString& message, const QString& detail) {
        QMessageBox box(QMessageBox::Warning, QString(), message, QMessageBox::Ok, owner);
        box.setInformativeText(detail);
        box.exec();
    };
    return questions;
}

SettingsDialogs::SettingsDialogs(AppState& state, LocalizationManager& i18n, QWidget* parent,
                                 std::function<void()> rebuild)
    : questions(dialogQuestions(parent)),
      rebuildMainView(std::move(rebuild)),
      state_(state),
      i18n_(i18n) {}

QString SettingsDialogs::text(const char* key) const {
    return qs(i18n_.text(key));
}

void SettingsDialogs::exportSettings() {
    const auto target =
        questions.askSavePath(text("dialog.exportTitle"), proposedExportName(now()));
    if (!target || target->empty()) {
        return;
    }
    // The export holds the settings file's content, not the list on screen.
    if (const auto error = exportSettingsTo(state_.settings(), *target, ExportWrite::direct)) {
        questions.warn(text("dialog.exportFailed"), qs(*error));
    }
}

void SettingsDialogs::importSettings() {
    const auto source = questions.askOpenPath(text("dialog.importTitle"));
    if (!source || source->empty()) {
        return;
    }
    const auto read = importSettingsFrom(*source);
    const AppSettings* imported = std::get_if<AppSettings>(&read);
    if (imported == nullptr) {
        questions.warn(text("dialog.importFailed"), text("dialog.importInvalidFormat"));
        return;
    }
    const Confirmation overwrite{
        text("dialog.importOverwrite"), text("dialog.importOverwriteDetail"),
        text("dialog.importOverwriteBtn"), text("dialog.importCancel"), false};
    if (!questions.confirm(overwrite)) {
        return;
    }
    const SaveResult saved = applyImport(state_, *imported);
    if (!saved) {
        // The file was read but could not become the settings; nothing has changed.
        questions.warn(text("dialog.importFailed"), qs(saved.error.value_or("")));
        return;
    }
    if (rebuildMainView) {
        rebuildMainView();
    }
}

void SettingsDialogs::resetPresets() {
    const Confirmation reset{text("dialog.resetConfirm"), text("dialog.resetDetail"),
                             text("dialog.resetBtn"), text("dialog.cancel"), true};
    if (!questions.confirm(reset)) {
        return;
    }
    // A refused save leaves everything as it was, the list on screen included.
    if (resetToFactory(state_) && rebuildMainView) {
        rebuildMainView();
    }
}

}  // namespace orvex
