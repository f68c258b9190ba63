#include "app/ui/windows/preset_editor.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/execution/ai_destination.h"
#include "app/ui/windows/shortcut_capture_field.h"

namespace orvex {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

const char* destinationNameKey(AIDestination destination) {
    switch (destination) {
        case AIDestination::chatgptApp:
            return "settings.destChatGPTApp";
        case AIDestination::chatgptClassic:
            return "settings.destChatGPTClassic";
        case AIDestination::chatgptWeb:
            return "index.destChatGPTWeb";
        case AIDestination::geminiApp:
            return "settings.destGeminiApp";
        case AIDestination::gemini:
            return "index.destGeminiWeb";
        case AIDestination::claudeApp:
            return "settings.destClaudeApp";
        case AIDestination::claudeWeb:
            return "index.destClaudeWeb";
        case AIDestination::terminal:
            return "index.destTerminal";
        case AIDestination::lastInputField:
            return "settings.destLastInputField";
    }
    return "";
}

constexpr ActionType kActions[] = {ActionType::aiSend, ActionType::activateApp,
                                   ActionType::openFile, ActionType::createFile};

QLabel* caption(QWidget* parent, QLayout* layout) {
    auto* label = new QLabel(parent);
    label->setObjectName("fieldCaption");
    layout->addWidget(label);
    return label;
}

QLabel* hint(QWidget* parent, QLayout* layout) {
    auto* label = new QLabel(parent);
    label->setObjectName("fieldHint");
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

// Two choices side by side, one of them always on.
std::pair<QRadioButton*, QRadioButton*> choicePair(QWidget* parent, QVBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    auto* first = new QRadioButton(parent);
    auto* second = new QRadioButton(parent);
    auto* group = new QButtonGroup(parent);
    group->addButton(first);
    group->addButton(second);
    row->addWidget(first);
    row->addWidget(second);
    row->addStretch(1);
    layout->addLayout(row);
    return {first, second};
}

QWidget* section(QVBoxLayout* outer) {
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    outer->addWidget(widget);
    return widget;
}

}  // namespace

PresetEditor::PresetEditor(AppState& state, LocalizationManager& i18n,
                           const SettingsScreenHooks& hooks, MainQueue& mainQueue, QWidget* parent)
    : QWidget(parent), state_(state), i18n_(i18n), hooks_(hooks) {
    shortcut_ = new ShortcutCaptureContainer(
        mainQueue, i18n_,
        {hooks_.shortcutText, [this](const std::string& id, const std::string& shortcut) {
             state_.updateShortcut(id, shortcut);
         }});
    build();
    retranslate();
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { retranslate(); }, Qt::QueuedConnection);
    });
    // A recorded shortcut is saved (and registered with the desktop) a moment after the
    // keys; only then can the editor say whether the desktop took it. Queued, so every other
    // observer of the save, the registration included, has run.
    presetsObserver_ = state_.addObserver({nullptr, [this](StateField field) {
                                               if (field == StateField::presets) {
                                                   QMetaObject::invokeMethod(
                                                       this, [this] { storedShortcutChanged(); },
                                                       Qt::QueuedConnection);
                                               }
                                           }});
}

PresetEditor::~PresetEditor() {
    i18n_.removeObserver(languageObserver_);
    state_.removeObserver(presetsObserver_);
}

void PresetEditor::storedShortcutChanged() {
    if (draft_.isNew) {
        return;
    }
    for (const PresetData& stored : state_.allPresets()) {
        if (stored.id == draft_.original.id && stored.shortcut == draft_.shortcut) {
            draft_.original.shortcut = stored.shortcut;
            baseline_.original.shortcut = stored.shortcut;
            showShortcutConflict();
            return;
        }
    }
}

QString PresetEditor::text(const char* key) const {
    return qs(i18n_.text(key));
}

void PresetEditor::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(16);
    title_ = new QLabel(this);
    title_->setObjectName("sectionTitle");
    outer->addWidget(title_);

    scroll_ = new QScrollArea(this);
    auto* scroll = scroll_;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* form = new QWidget;
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 12, 0);
    layout->setSpacing(8);
    scroll->setWidget(form);
    outer->addWidget(scroll, 1);

    labelCaption_ = caption(form, layout);
    label_ = new QLineEdit(form);
    layout->addWidget(label_);
    labelHint_ = hint(form, layout);
    bindText(label_, &PresetDraft::label);

    actionCaption_ = caption(form, layout);
    action_ = new QComboBox(form);
    for (int i = 0; i < 4; ++i) {
        action_->addItem(QString());
    }
    layout->addWidget(action_);
    connect(action_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!loading_ && index >= 0) {
            draft_.action = kActions[index];
            syncVisibility();
        }
    });

    aiSection_ = section(layout);
    auto* ai = static_cast<QVBoxLayout*>(aiSection_->layout());
    destinationCaption_ = caption(aiSection_, ai);
    // Two columns read row by row, in the table's order: the form stays short enough to see
    // the shortcut without scrolling far.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    for (AIDestination destination : kAllDestinations) {
        auto* box = new QCheckBox(aiSection_);
        const int position = static_cast<int>(destinations_.size());
        grid->addWidget(box, position / 2, position % 2);
        const std::string id = identifier(destination);
        destinations_.emplace_back(id, box);
        connect(box, &QCheckBox::toggled, this, [this, id](bool on) {
            if (!loading_) {
                draft_.destinations = withDestination(draft_.destinations, id, on);
                syncVisibility();
            }
        });
    }
    ai->addLayout(grid);
    lastInputHint_ = hint(aiSection_, ai);

    multiSection_ = section(ai);
    auto* multi = static_cast<QVBoxLayout*>(multiSection_->layout());
    multiCaption_ = caption(multiSection_, multi);
    std::tie(multiAll_, multiLastUsed_) = choicePair(multiSection_, multi);
    multiHint_ = hint(multiSection_, multi);
    connect(multiAll_, &QRadioButton::toggled, this, [this](bool on) {
        if (!loading_) {
            draft_.multiDestMode = on ? "all" : "lastUsed";
            syncVisibility();
        }
    });

    modeCaption_ = caption(aiSection_, ai);
    std::tie(modeSelection_, modeCapture_) = choicePair(aiSection_, ai);
    connect(modeCapture_, &QRadioButton::toggled, this, [this](bool on) {
        if (!loading_) {
            draft_.useCapture = on;
            syncVisibility();
        }
    });
    sourceSection_ = section(ai);
    auto* source = static_cast<QVBoxLayout*>(sourceSection_->layout());
    sourceCaption_ = caption(sourceSection_, source);
    std::tie(sourceCopy_, sourceCut_) = choicePair(sourceSection_, source);
    connect(sourceCut_, &QRadioButton::toggled, this, [this](bool on) {
        if (!loading_) {
            draft_.cutText = on;
        }
    });

    promptCaption_ = caption(aiSection_, ai);
    prompt_ = new QPlainTextEdit(aiSection_);
    prompt_->setTabChangesFocus(true);
    prompt_->setFixedHeight(96);
    ai->addWidget(prompt_);
    promptHint_ = hint(aiSection_, ai);
    connect(prompt_, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_) {
            draft_.fixedPrompt = prompt_->toPlainText().toStdString();
        }
    });
    sendCaption_ = caption(aiSection_, ai);
    std::tie(sendAuto_, sendManual_) = choicePair(aiSection_, ai);
    connect(sendAuto_, &QRadioButton::toggled, this, [this](bool on) {
        if (!loading_) {
            draft_.autoSend = on;
        }
    });

    appSection_ = section(layout);
    auto* app = static_cast<QVBoxLayout*>(appSection_->layout());
    appCaption_ = caption(appSection_, app);
    auto* appRow = new QHBoxLayout;
    appName_ = new QLineEdit(appSection_);
    appBrowse_ = new QPushButton(appSection_);
    appRow->addWidget(appName_, 1);
    appRow->addWidget(appBrowse_);
    app->addLayout(appRow);
    bindText(appName_, &PresetDraft::appName);
    connect(appBrowse_, &QPushButton::clicked, this, [this] { chooseApplication(); });

    fileSection_ = section(layout);
    auto* file = static_cast<QVBoxLayout*>(fileSection_->layout());
    fileCaption_ = caption(fileSection_, file);
    auto* fileRow = new QHBoxLayout;
    filePath_ = new QLineEdit(fileSection_);
    fileBrowse_ = new QPushButton(fileSection_);
    fileRow->addWidget(filePath_, 1);
    fileRow->addWidget(fileBrowse_);
    file->addLayout(fileRow);
    bindText(filePath_, &PresetDraft::filePath);
    connect(fileBrowse_, &QPushButton::clicked, this, [this] { chooseFile(); });

    createSection_ = section(layout);
    auto* create = static_cast<QVBoxLayout*>(createSection_->layout());
    createHint_ = hint(createSection_, create);
    extensionCaption_ = caption(createSection_, create);
    extension_ = new QLineEdit(createSection_);
    create->addWidget(extension_);
    extensionHint_ = hint(createSection_, create);
    bindText(extension_, &PresetDraft::fileExt);

    shortcutCaption_ = caption(form, layout);
    auto* shortcutRow = new QHBoxLayout;
    shortcut_->setParent(form);
    shortcutClear_ = new QPushButton(form);
    shortcutRow->addWidget(shortcut_, 1);
    shortcutRow->addWidget(shortcutClear_);
    layout->addLayout(shortcutRow);
    shortcutHint_ = hint(form, layout);
    shortcutConflict_ = hint(form, layout);
    shortcutConflict_->setObjectName("fieldWarning");
    connect(shortcut_, &ShortcutCaptureContainer::captured, this, [this](const QString& value) {
        draft_.shortcut = value.toStdString();
        if (!draft_.isNew) {
            // Already saved by the field; leaving the editor loses nothing.
            baseline_.shortcut = draft_.shortcut;
        }
        showShortcutConflict();
    });
    connect(shortcutClear_, &QPushButton::clicked, this, [this] {
        draft_.shortcut.clear();
        shortcut_->setShortcut("");
        showShortcutConflict();
    });
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cancel_ = new QPushButton(this);
    save_ = new QPushButton(this);
    save_->setObjectName("primaryButton");
    buttons->addWidget(cancel_);
    buttons->addWidget(save_);
    outer->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (confirmLeave()) {
            emit finished(qs(draft_.original.id));
        }
    });
    connect(save_, &QPushButton::clicked, this, [this] { save(); });
}

void PresetEditor::retranslate() {
    title_->setText(text(draft_.isNew ? "settings.newPreset" : "settings.editPreset"));
    const auto captionFor = [](QLabel* label, QWidget* control, const QString& value) {
        label->setText(value);
        control->setAccessibleName(value);
    };
    captionFor(labelCaption_, label_, text("settings.label"));
    label_->setPlaceholderText(text("settings.labelPlaceholder"));
    labelHint_->setText(text("settings.labelHint"));
    captionFor(actionCaption_, action_, text("settings.action"));
    const char* actionKeys[] = {"settings.actionAI", "settings.actionApp",
                                "settings.actionOpenFile", "settings.actionCreateFile"};
    for (int i = 0; i < 4; ++i) {
        action_->setItemText(i, text(actionKeys[i]));
    }
    destinationCaption_->setText(text("settings.destination"));
    for (std::size_t i = 0; i < destinations_.size(); ++i) {
        destinations_[i].second->setText(text(destinationNameKey(kAllDestinations[i])));
    }
    lastInputHint_->setText(text("settings.destLastInputFieldHint"));
    multiCaption_->setText(text("settings.multiDestMode"));
    multiAll_->setText(text("settings.multiDestAll"));
    multiLastUsed_->setText(text("settings.multiDestLastUsed"));
    modeCaption_->setText(text("settings.mode"));
    modeSelection_->setText(text("settings.modeSelection"));
    modeCapture_->setText(text("settings.modeCapture"));
    sourceCaption_->setText(text("settings.sourceText"));
    sourceCopy_->setText(text("settings.sourceCopy"));
    sourceCut_->setText(text("settings.sourceCut"));
    captionFor(promptCaption_, prompt_, text("settings.fixedPrompt"));
    sendCaption_->setText(text("settings.sendMethod"));
    sendAuto_->setText(text("settings.sendAuto"));
    sendManual_->setText(text("settings.sendManual"));
    captionFor(appCaption_, appName_, text("settings.application"));
    appName_->setPlaceholderText(text("settings.appPlaceholder"));
    appBrowse_->setText(text("settings.appBrowse"));
    captionFor(fileCaption_, filePath_, text("settings.openFile"));
    filePath_->setPlaceholderText(text("settings.filePlaceholder"));
    fileBrowse_->setText(text("settings.browse"));
    createHint_->setText(text("settings.finderCreateFile"));
    captionFor(extensionCaption_, extension_, text("settings.extension"));
    extensionHint_->setText(text("settings.extensionHint"));
    shortcutCaption_->setText(text("settings.shortcut"));
    shortcut_->field()->setAccessibleDescription(text("settings.shortcut"));
    shortcut_->setPlaceholder(text("settings.shortcutPlaceholder"));
    shortcutClear_->setText(text("settings.shortcutClear"));
    shortcutHint_->setText(text("settings.shortcutHint"));
    cancel_->setText(text("dialog.cancel"));
    save_->setText(text("settings.save"));
    // Buttons, check boxes and choices are named by what they say.
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        button->setAccessibleName(button->text());
    }
    syncVisibility();
    showShortcutConflict();
}

void PresetEditor::start(PresetDraft draft) {
    draft_ = std::move(draft);
    baseline_ = draft_;
    load();
    retranslate();
    scroll_->verticalScrollBar()->setValue(0);
    label_->setFocus(Qt::OtherFocusReason);
}

void PresetEditor::load() {
    loading_ = true;
    label_->setText(qs(draft_.label));
    for (int i = 0; i < 4; ++i) {
        if (kActions[i] == draft_.action) {
            action_->setCurrentIndex(i);
        }
    }
    for (const auto& [id, box] : destinations_) {
        box->setChecked(std::ranges::find(draft_.destinations, id) != draft_.destinations.end());
    }
    (draft_.multiDestMode == "all" ? multiAll_ : multiLastUsed_)->setChecked(true);
    (draft_.useCapture ? modeCapture_ : modeSelection_)->setChecked(true);
    (draft_.cutText ? sourceCut_ : sourceCopy_)->setChecked(true);
    prompt_->setPlainText(qs(draft_.fixedPrompt));
    (draft_.autoSend ? sendAuto_ : sendManual_)->setChecked(true);
    appName_->setText(qs(draft_.appName));
    filePath_->setText(qs(draft_.filePath));
    extension_->setText(qs(draft_.fileExt));
    shortcut_->setShortcut(draft_.shortcut);
    shortcut_->setPresetId(draft_.isNew ? std::nullopt : std::optional(draft_.original.id));
    loading_ = false;
}

void PresetEditor::syncVisibility() {
    aiSection_->setVisible(draft_.action == ActionType::aiSend);
    appSection_->setVisible(draft_.action == ActionType::activateApp);
    fileSection_->setVisible(draft_.action == ActionType::openFile);
    createSection_->setVisible(draft_.action == ActionType::createFile);
    multiSection_->setVisible(draft_.destinations.size() >= 2);
    multiHint_->setText(text(draft_.multiDestMode == "all" ? "settings.multiDestAllHint"
                                                           : "settings.multiDestLastUsedHint"));
    const auto chosen = [this](const char* id) {
        return std::ranges::find(draft_.destinations, id) != draft_.destinations.end();
    };
    lastInputHint_->setVisible(chosen(destination_ids::lastInputField));
    sourceSection_->setVisible(!draft_.useCapture);
    promptHint_->setText(text(chosen(destination_ids::terminal) ? "settings.fixedPromptHintTerminal"
                                                                : "settings.fixedPromptHint"));
}

void PresetEditor::bindText(QLineEdit* edit, std::string PresetDraft::*field) {
    connect(edit, &QLineEdit::textChanged, this, [this, field](const QString& value) {
        if (!loading_) {
            draft_.*field = value.toStdString();
        }
    });
}

void PresetEditor::showShortcutConflict() {
    // Told where the shortcut is set: another preset holding the same keys, or the desktop
    // having refused the stored one (another application may hold it).
    const auto other = shortcutTakenBy(state_.presets(), draft_.original.id, draft_.shortcut);
    const bool refused = !other && !draft_.isNew && !draft_.shortcut.empty() &&
                         draft_.shortcut == draft_.original.shortcut && hooks_.shortcutRegistered &&
                         !hooks_.shortcutRegistered(draft_.original.id);
    shortcutConflict_->setVisible(other || refused);
    if (other) {
        shortcutConflict_->setText(qs(i18n_.text("settings.shortcutTaken", {{"name", *other}})));
    } else if (refused) {
        shortcutConflict_->setText(text("settings.shortcutRefused"));
    }
    shortcutClear_->setEnabled(!draft_.shortcut.empty());
}

bool PresetEditor::save() {
    if (const auto refusal = saveRefusal(draft_)) {
        hooks_.questions.warn(qs(i18n_.text(*refusal)), QString());
        return false;
    }
    const SaveResult saved = state_.commitPresets(withDraftSaved(state_.presets(), draft_));
    if (!saved) {
        hooks_.questions.warn(qs(*saved.error), QString());
        return false;
    }
    baseline_ = draft_;
    emit finished(qs(draft_.original.id));
    return true;
}

bool PresetEditor::confirmLeave() {
    if (!hasUnsavedChanges()) {
        return true;
    }
    if (!hooks_.questions.confirm({text("settings.discardConfirm"), text("settings.discardDetail"),
                                   text("settings.discardBtn"), text("dialog.cancel"), true})) {
        return false;
    }
    baseline_ = draft_;
    return true;
}

void PresetEditor::keyPressEvent(QKeyEvent* event) {
    // Escape leaves as Cancel does, asking first about unsaved changes. The shortcut field
    // keeps its keys to itself, so Escape there never leaves.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cancel_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PresetEditor::chooseApplication() {
    QMenu menu(this);
    const std::vector<std::string> names =
        hooks_.applicationNames ? hooks_.applicationNames() : std::vector<std::string>{};
    for (const std::string& name : names) {
        menu.addAction(qs(name), this, [this, name] { appName_->setText(qs(name)); });
    }
    if (names.empty()) {
        menu.addAction(text("settings.noInstalledApps"))->setEnabled(false);
    }
    menu.exec(appBrowse_->mapToGlobal(QPoint(0, appBrowse_->height())));
}

void PresetEditor::chooseFile() {
    std::optional<std::string> chosen;
    if (hooks_.chooseFile) {
        chosen = hooks_.chooseFile(text("settings.openFile"));
    } else {
        const QString path = QFileDialog::getOpenFileName(this, text("settings.openFile"));
        if (!path.isEmpty()) {
            chosen = path.toStdString();
        }
    }
    if (chosen) {
        filePath_->setText(qs(*chosen));
    }
}

}  // namespace orvex
