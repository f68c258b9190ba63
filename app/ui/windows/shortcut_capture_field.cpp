#include "app/ui/windows/shortcut_capture_field.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStyle>

#if ORVEX_WINDOWS_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace orvex {
namespace {

std::optional<std::uint32_t> unshiftedX11Keysym(std::uint32_t keycode) {
#if ORVEX_WINDOWS_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || keycode < 8 || keycode > 255) {
        return std::nullopt;
    }
    const auto code = static_cast<xcb_keycode_t>(keycode);
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, code, 1), nullptr);
    if (!reply) {
        return std::nullopt;
    }
    std::optional<std::uint32_t> keysym;
    if (xcb_get_keyboard_mapping_keysyms_length(reply) > 0) {
        keysym = xcb_get_keyboard_mapping_keysyms(reply)[0];
    }
    std::free(reply);
    return keysym && *keysym != 0 ? keysym : std::nullopt;
#else
    (void)keycode;
    return std::nullopt;
#endif
}

// Qt's key to the X11 symbol of the same key, for sessions that are not X11 (and tests).
std::uint32_t keysymOfQtKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<std::uint32_t>(key - Qt::Key_A + 'a');
    }
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) {
        return static_cast<std::uint32_t>(key);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
        return 0xffbe + static_cast<std::uint32_t>(key - Qt::Key_F1);
    }
    switch (key) {
        case Qt::Key_Return:
            return 0xff0d;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0xff09;
        case Qt::Key_Backspace:
            return 0xff08;
        case Qt::Key_Escape:
            return 0xff1b;
        case Qt::Key_Left:
            return 0xff51;
        case Qt::Key_Up:
            return 0xff52;
        case Qt::Key_Right:
            return 0xff53;
        case Qt::Key_Down:
            return 0xff54;
        case Qt::Key_Home:
            return 0xff50;
        case Qt::Key_End:
            return 0xff57;
        case Qt::Key_PageUp:
            return 0xff55;
        case Qt::Key_PageDown:
            return 0xff56;
        case Qt::Key_Delete:
            return 0xffff;
        default:
            return 0;
    }
}

bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_CapsLock:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_Mode_switch:
            return true;
        default:
            return false;
    }
}

void repolish(QWidget* widget) {
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

}  // namespace

CaptureKeyPress captureKeyPress(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    CaptureKeyPress press;
    press.modifierKey = isModifierKey(event.key());
    press.keypad = modifiers.testFlag(Qt::KeypadModifier);
    press.control = modifiers.testFlag(Qt::ControlModifier);
    press.alt = modifiers.testFlag(Qt::AltModifier);
    press.shift = modifiers.testFlag(Qt::ShiftModifier);
    press.super = modifiers.testFlag(Qt::MetaModifier);
    // Shift changes Qt's key ("2" becomes "@" on a US layout, another sign elsewhere); the
    // shortcut names the key itself.
    const auto native =
        event.nativeScanCode() != 0 ? unshiftedX11Keysym(event.nativeScanCode()) : std::nullopt;
    press.keysym = native.value_or(keysymOfQtKey(event.key()));
    return press;
}

ShortcutCaptureField::ShortcutCaptureField(QWidget* parent) : QLineEdit(parent) {
    setObjectName("shortcut-input");
    setAccessibleName(QStringLiteral("shortcut-input"));
    setReadOnly(true);
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    // Read-only lines still select on a drag; the box shows a shortcut, not text to copy.
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

bool ShortcutCaptureField::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Keep menu and window shortcuts from firing while a combination is recorded.
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void ShortcutCaptureField::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(captureKeyPress(*event));
    event->accept();
}

void ShortcutCaptureField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focusChanged(true);
}

void ShortcutCaptureField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit focusChanged(false);
}

ShortcutCaptureContainer::ShortcutCaptureContainer(MainQueue& mainQueue, LocalizationManager& i18n,
                                                   Hooks hooks, QWidget* parent)
    : QFrame(parent), i18n_(i18n) {
    setObjectName("shortcutBox");
    setProperty("focused", false);
    setFixedHeight(36);
    setCursor(Qt::IBeamCursor);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 0, 10, 0);
    field_ = new ShortcutCaptureField(this);
    field_->setProperty("warning", false);
    layout->addWidget(field_, 1, Qt::AlignVCenter);

    capture_ = std::make_unique<ShortcutCapture>(
        mainQueue,
        ShortcutCapture::Hooks{[this](const std::string& shortcut) {
                                   emit captured(QString::fromStdString(shortcut));
                               },
                               std::move(hooks.updateShortcut),
                               hooks.displayText ? std::move(hooks.displayText)
                                                 : [](const std::string& s) { return s; },
                               [this] { return i18n_.text("settings.shortcutUnsupportedKey"); },
                               [this] { refresh(); }});
    connect(field_, &ShortcutCaptureField::keyPressed, this,
            [this](const CaptureKeyPress& press) { capture_->keyDown(press); });
    connect(field_, &ShortcutCaptureField::focusChanged, this, [this](bool focused) {
        setProperty("focused", focused);
        repolish(this);
        if (!focused) {
            capture_->focusLost();
        }
    });
    refresh();
}

ShortcutCaptureContainer::~ShortcutCaptureContainer() = default;

void ShortcutCaptureContainer::setShortcut(const std::string& shortcut) {
    capture_->setShortcut(shortcut);
}

void ShortcutCaptureContainer::setPresetId(std::optional<std::string> presetId) {
    capture_->setPresetId(std::move(presetId));
}

void ShortcutCaptureContainer::setPlaceholder(const QString& placeholder) {
    field_->setPlaceholderText(placeholder);
}

void ShortcutCaptureContainer::mousePressEvent(QMouseEvent* event) {
    field_->setFocus(Qt::MouseFocusReason);
    QFrame::mousePressEvent(event);
}

void ShortcutCaptureContainer::refresh() {
    field_->setText(QString::fromStdString(capture_->shownText()));
    if (field_->property("warning").toBool() != capture_->warning()) {
        field_->setProperty("warning", capture_->warning());
        repolish(field_);
    }
}

}  // namespace orvex
