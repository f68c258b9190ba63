#pragma once

#include <QFrame>
#include <QLineEdit>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/i18n/localization_manager.h"
#include "app/ui/shortcut_capture.h"

class QKeyEvent;

namespace orvex {

// The key as the capture logic reads it: X11's own symbol for the key without Shift when
// the session is X11, otherwise the symbol of Qt's key.
CaptureKeyPress captureKeyPress(const QKeyEvent& event);

// The line inside the box that takes the keys. It is never edited as text: every key goes
// to the capture, application shortcuts included, so Ctrl+Q records rather than quits.
class ShortcutCaptureField : public QLineEdit {
    Q_OBJECT
  public:
    explicit ShortcutCaptureField(QWidget* parent = nullptr);

  signals:
    void keyPressed(const CaptureKeyPress& press);
    void focusChanged(bool focused);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// The framed box the editor places: it shows the preset's shortcut as this desktop writes
// it, records a new one from a key press, and saves it at once for an existing preset.
class ShortcutCaptureContainer : public QFrame {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<std::string(const std::string&)> displayText;
        std::function<void(const std::string& presetId, const std::string&)> updateShortcut;
    };

    ShortcutCaptureContainer(MainQueue& mainQueue, LocalizationManager& i18n, Hooks hooks,
                             QWidget* parent = nullptr);
    ~ShortcutCaptureContainer() override;

    void setShortcut(const std::string& shortcut);
    void setPresetId(std::optional<std::string> presetId);
    void setPlaceholder(const QString& placeholder);
    ShortcutCaptureField* field() const { return field_; }
    bool warningShown() const { return capture_->warning(); }

  signals:
    // A shortcut was recorded; the editor's value follows it.
    void captured(const QString& shortcut);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void refresh();

    LocalizationManager& i18n_;
    ShortcutCaptureField* field_ = nullptr;
    std::unique_ptr<ShortcutCapture> capture_;
};

}  // namespace orvex
