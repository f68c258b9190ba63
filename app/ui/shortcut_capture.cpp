#include "app/ui/shortcut_capture.h"

#include "app/shortcuts/shortcut_strings.h"
#include "app/shortcuts/x11_key_map.h"
#include "base/log.h"

namespace orvex {

std::optional<std::uint32_t> keyCodeForKeysym(std::uint32_t keysym) {
    // Letters are named by their lower-case symbols.
    if (keysym >= 'A' && keysym <= 'Z') {
        keysym += 'a' - 'A';
    }
    for (const X11KeyEntry& entry : x11KeyTable()) {
        if (entry.keysym == keysym) {
            return entry.keyCode;
        }
    }
    return std::nullopt;
}

ShortcutCapture::ShortcutCapture(MainQueue& mainQueue, Hooks hooks)
    : mainQueue_(mainQueue), hooks_(std::move(hooks)) {}

ShortcutCapture::~ShortcutCapture() {
    if (errorTimer_) {
        errorTimer_->cancel();
    }
}

void ShortcutCapture::setShortcut(const std::string& shortcut) {
    if (currentShortcut_ == shortcut) {
        return;
    }
    currentShortcut_ = shortcut;
    if (!warning_) {
        notify();
    }
}

void ShortcutCapture::setPresetId(std::optional<std::string> presetId) {
    presetId_ = std::move(presetId);
}

void ShortcutCapture::keyDown(const CaptureKeyPress& press) {
    clearWarning();
    if (press.modifierKey) {
        // Still building the combination.
        return;
    }
    // The name comes before the modifier test: a key without one warns even when pressed
    // alone, so the user learns at once that it cannot be used.
    const auto keyCode = press.keypad ? std::nullopt : keyCodeForKeysym(press.keysym);
    const auto name = keyCode ? capturableKeyName(*keyCode) : std::nullopt;
    if (!name) {
        showUnsupportedKeyWarning();
        return;
    }
    std::uint32_t modifiers = 0;
    modifiers |= press.control ? cmdKey : 0;
    modifiers |= press.alt ? optionKey : 0;
    modifiers |= press.shift ? shiftKey : 0;
    if (modifiers == 0 || press.super) {
        return;
    }
    const auto shortcut = canonicalShortcut(modifiers, *keyCode);
    if (!shortcut) {
        return;
    }
    currentShortcut_ = *shortcut;
    if (hooks_.captured) {
        hooks_.captured(*shortcut);
    }
    log::system("[ShortcutCapture] keyDown: shortcut=" + *shortcut +
                ", presetId=" + presetId_.value_or("nil"));
    if (presetId_ && hooks_.updateShortcut) {
        hooks_.updateShortcut(*presetId_, *shortcut);
    }
    notify();
}

void ShortcutCapture::focusLost() {
    clearWarning();
}

std::string ShortcutCapture::shownText() const {
    if (warning_) {
        return hooks_.warningText ? hooks_.warningText() : std::string();
    }
    return hooks_.displayText ? hooks_.displayText(currentShortcut_) : currentShortcut_;
}

void ShortcutCapture::showUnsupportedKeyWarning() {
    warning_ = true;
    if (errorTimer_) {
        errorTimer_->cancel();
    }
    // Cancelled when this goes, so the timer never reaches a capture that is gone.
    errorTimer_ = mainQueue_.postAfter(kWarningDuration, [this] { clearWarning(); });
    notify();
}

void ShortcutCapture::clearWarning() {
    if (errorTimer_) {
        errorTimer_->cancel();
        errorTimer_.reset();
    }
    if (warning_) {
        warning_ = false;
        notify();
    }
}

void ShortcutCapture::notify() {
    if (hooks_.changed) {
        hooks_.changed();
    }
}

}  // namespace orvex
