#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"
#include "app/ui/preset_draft.h"
#include "app/ui/windows/settings_dialogs.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace orvex {

class ShortcutCaptureContainer;

// What the settings screen needs from the desktop and the program around it.
struct SettingsScreenHooks {
    // The queue of the recording field's warning timer; Qt's own when none is given.
    MainQueue* mainQueue = nullptr;
    // A stored shortcut as this desktop writes it.
    std::function<std::string(const std::string&)> shortcutText;
    // Names of the applications the user can pick for an app preset (the running ones).
    std::function<std::vector<std::string>()> applicationNames;
    // The file for an open-file preset; none when the user gives up. A file dialog when empty.
    std::function<std::optional<std::string>(const QString& title)> chooseFile;
    // Whether the preset's stored shortcut is registered with the desktop now; when empty,
    // nothing is said about it.
    std::function<bool(const std::string& presetId)> shortcutRegistered;
    // Confirmations and alerts; the dialogs over the screen when left empty.
    SettingsQuestions questions;
};

// The form that makes or changes one preset. It edits a draft and writes the list only on
// save; a shortcut recorded for an existing preset is saved at once by the recording field.
class PresetEditor : public QWidget {
    Q_OBJECT
  public:
    PresetEditor(AppState& state, LocalizationManager& i18n, const SettingsScreenHooks& hooks,
                 MainQueue& mainQueue, QWidget* parent = nullptr);
    ~PresetEditor() override;

    void start(PresetDraft draft);
    const PresetDraft& draft() const { return draft_; }
    bool hasUnsavedChanges() const { return draft_ != baseline_; }
    // Validates and writes the list; false (after an alert) when the draft may not be saved.
    bool save();
    // Asks before unsaved changes are dropped; true when the editor may be left.
    bool confirmLeave();

  signals:
    // Saved or cancelled; the id of the preset the editor was on.
    void finished(const QString& presetId);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void build();
    // Edits of the field are the draft's `field` (loading the draft is not an edit).
    void bindText(QLineEdit* edit, std::string PresetDraft::*field);
    void retranslate();
    // Puts the draft's values into the controls without counting that as an edit.
    void load();
    void syncVisibility();
    void showShortcutConflict();
    // The stored shortcut of the edited preset changed (a recording was saved).
    void storedShortcutChanged();
    QString text(const char* key) const;
    void chooseApplication();
    void chooseFile();

    AppState& state_;
    LocalizationManager& i18n_;
    const SettingsScreenHooks& hooks_;
    PresetDraft draft_;
    PresetDraft baseline_;
    bool loading_ = false;

    QLabel* title_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* labelCaption_ = nullptr;
    QLineEdit* label_ = nullptr;
    QLabel* labelHint_ = nullptr;
    QLabel* actionCaption_ = nullptr;
    QComboBox* action_ = nullptr;

    QWidget* aiSection_ = nullptr;
    QLabel* destinationCaption_ = nullptr;
    std::vector<std::pair<std::string, QCheckBox*>> destinations_;
    QLabel* lastInputHint_ = nullptr;
    QWidget* multiSection_ = nullptr;
    QLabel* multiCaption_ = nullptr;
    QRadioButton* multiAll_ = nullptr;
    QRadioButton* multiLastUsed_ = nullptr;
    QLabel* multiHint_ = nullptr;
    QLabel* modeCaption_ = nullptr;
    QRadioButton* modeSelection_ = nullptr;
    QRadioButton* modeCapture_ = nullptr;
    QWidget* sourceSection_ = nullptr;
    QLabel* sourceCaption_ = nullptr;
    QRadioButton* sourceCopy_ = nullptr;
    QRadioButton* sourceCut_ = nullptr;
    QLabel* promptCaption_ = nullptr;
    QPlainTextEdit* prompt_ = nullptr;
    QLabel* promptHint_ = nullptr;
    QLabel* sendCaption_ = nullptr;
    QRadioButton* sendAuto_ = nullptr;
    QRadioButton* sendManual_ = nullptr;

    QWidget* appSection_ = nullptr;
    QLabel* appCaption_ = nullptr;
    QLineEdit* appName_ = nullptr;
    QPushButton* appBrowse_ = nullptr;

    QWidget* fileSection_ = nullptr;
    QLabel* fileCaption_ = nullptr;
    QLineEdit* filePath_ = nullptr;
    QPushButton* fileBrowse_ = nullptr;

    QWidget* createSection_ = nullptr;
    QLabel* extensionCaption_ = nullptr;
    QLineEdit* extension_ = nullptr;
    QLabel* extensionHint_ = nullptr;
    QLabel* createHint_ = nullptr;

    QLabel* shortcutCaption_ = nullptr;
    ShortcutCaptureContainer* shortcut_ = nullptr;
    QPushButton* shortcutClear_ = nullptr;
    QLabel* shortcutHint_ = nullptr;
    QLabel* shortcutConflict_ = nullptr;

    QPushButton* cancel_ = nullptr;
    QPushButton* save_ = nullptr;
    std::size_t languageObserver_ = 0;
    AppState::ObserverId presetsObserver_ = 0;
};

}  // namespace orvex
