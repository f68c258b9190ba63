#pragma once

#include <QTreeView>
#include <QWidget>
#include <memory>
#include <string>

#include "app/i18n/localization_manager.h"
#include "app/store/app_state.h"
#include "app/ui/windows/preset_editor.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace orvex {

class PresetListModel;
class RealClock;

// The preset list of the settings screen and, in its place while one is edited, the preset
// editor. Every change goes through the list edits and is committed (saved) at once.
class SettingsScreen : public QWidget {
    Q_OBJECT
  public:
    SettingsScreen(AppState& state, LocalizationManager& i18n, SettingsScreenHooks hooks,
                   QWidget* parent = nullptr);
    ~SettingsScreen() override;

    void editPreset(const std::string& presetId);
    void newPreset();
    void addFolder();
    // Asks first; the folder's presets stay, at the top level.
    void deleteSelected();
    void organize();
    void ungroup();
    // One row up (-1) or down (+1).
    void moveSelected(int step);
    // Leaving with unsaved changes in the editor asks first; true when it may be left.
    bool confirmLeave();

    bool editing() const;
    PresetListModel* model() const { return model_; }
    QTreeView* list() const { return list_; }
    PresetEditor* editor() const { return editor_; }
    QWidget* firstFocus() const;
    std::string selectedId() const;
    void select(const std::string& id);

  private:
    void build();
    void retranslate();
    void syncButtons();
    void closeEditor(const std::string& presetId);
    void commit(const std::optional<std::vector<PresetItem>>& edited);
    void keyPressedInList(QKeyEvent* event, bool& handled);
    QString text(const char* key) const;

    AppState& state_;
    LocalizationManager& i18n_;
    SettingsScreenHooks hooks_;
    std::unique_ptr<RealClock> ownClock_;
    std::unique_ptr<MainQueue> ownQueue_;

    PresetListModel* model_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QWidget* listPage_ = nullptr;
    QTreeView* list_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* dropZone_ = nullptr;
    QPushButton* addNew_ = nullptr;
    QPushButton* addGroup_ = nullptr;
    QPushButton* organize_ = nullptr;
    QPushButton* ungroup_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* rename_ = nullptr;
    QPushButton* delete_ = nullptr;
    PresetEditor* editor_ = nullptr;
    std::size_t languageObserver_ = 0;
};

}  // namespace orvex
