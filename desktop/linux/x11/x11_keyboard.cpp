#include "desktop/linux/x11/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <vector>

#include "desktop/linux/x11/keysym_text.h"

namespace orvex::linux_desktop {

namespace {

using namespace std::chrono_literals;

// After a chord with modifiers the receiving toolkit needs a moment before the next key:
// a Return sent right behind Control+V can overtake the paste.
constexpr auto kAfterChord = 50ms;

// Where a keysym sits on the layout in force: its key, and whether Shift reaches it.
struct KeyPosition {
    KeyCode code = 0;
    bool shifted = false;
};

class LayoutLookup {
  public:
    explicit LayoutLookup(Display* display) : display_(display) {
        XkbStateRec state;
        if (XkbGetState(display, XkbUseCoreKbd, &state) == Success)
            group_ = state.group;
        map_ = XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd);
    }
    ~LayoutLookup() {
        if (map_)
            XkbFreeKeyboard(map_, 0, True);
    }
    LayoutLookup(const LayoutLookup&) = delete;
    LayoutLookup& operator=(const LayoutLookup&) = delete;

    std::optional<KeyPosition> find(KeySym keysym) const {
        if (!map_) {
            KeyCode code = XKeysymToKeycode(display_, keysym);
            if (code == 0)
                return std::nullopt;
            return KeyPosition{code, false};
        }
        // Unshifted positions first, in the current group, then in the first group.
        for (int group : {group_, 0}) {
            for (int level = 0; level < 2; ++level) {
                for (int code = map_->min_key_code; code <= map_->max_key_code; ++code) {
                    int groups = XkbKeyNumGroups(map_, code);
                    if (groups == 0)
                        continue;
                    int g = group < groups ? group : 0;
                    if (level >= XkbKeyGroupWidth(map_, code, g))
                        continue;
                    if (XkbKeySymEntry(map_, code, level, g) == keysym)
                        return KeyPosition{static_cast<KeyCode>(code), level == 1};
                }
            }
        }
        return std::nullopt;
    }

  private:
    Display* display_;
    XkbDescPtr map_ = nullptr;
    int group_ = 0;
};

std::string keysymName(KeySym keysym) {
    const char* name = XKeysymToString(keysym);
    return name ? name : "keysym " + std::to_string(keysym);
}

}  // namespace

KeyChord chordFor(std::uint32_t keysym, KeyModifiers modifiers) {
    KeyChord chord;
    chord.keysym = keysym;
    chord.shift = modifiers.shift;
    chord.control = modifiers.control || modifiers.command;
    chord.alt = modifiers.option;
    return chord;
}

std::unique_ptr<XTestKeyboard> XTestKeyboard::create(std::unique_ptr<X11Display> display,
                                                     Clock& clock, TargetLookup target,
                                                     PrimaryOffer offerPrimary,
                                                     std::string* problem) {
    int event = 0, error = 0, major = 0, minor = 0;
    {
        auto lock = display->lock();
        if (!XTestQueryExtension(display->raw(), &event, &error, &major, &minor)) {
            *problem = "the X server has no XTEST extension: synthetic keystrokes are impossible";
            return nullptr;
        }
    }
    return std::unique_ptr<XTestKeyboard>(
        new XTestKeyboard(std::move(display), clock, std::move(target), std::move(offerPrimary)));
}

XTestKeyboard::XTestKeyboard(std::unique_ptr<X11Display> display, Clock& clock, TargetLookup target,
                             PrimaryOffer offerPrimary)
    : display_(std::move(display)),
      clock_(clock),
      target_(std::move(target)),
      offerPrimary_(std::move(offerPrimary)),
      defaultTerminal_(defaultTerminalProgram()) {}

KeyModifiers XTestKeyboard::heldModifiers() {
    auto lock = display_->lock();
    char keys[32];
    XQueryKeymap(display_->raw(), keys);
    auto held = [&](KeySym keysym) {
        for (int code = 0; code < 256; ++code) {
            if (!(keys[code / 8] & (1 << (code % 8))))
                continue;
            if (XkbKeycodeToKeysym(display_->raw(), static_cast<KeyCode>(code), 0, 0) == keysym)
                return true;
        }
        return false;
    };
    KeyModifiers modifiers;
    modifiers.shift = held(XK_Shift_L) || held(XK_Shift_R);
    modifiers.control = held(XK_Control_L) || held(XK_Control_R);
    modifiers.option = held(XK_Alt_L) || held(XK_Alt_R) || held(XK_ISO_Level3_Shift);
    modifiers.command = held(XK_Super_L) || held(XK_Super_R);
    return modifiers;
}

void XTestKeyboard::postKeyUp(std::uint16_t keyCode) {
    if (auto keysym = keysymForKeyCode(keyCode))
        sendKey(*keysym, false);
}

std::optional<std::string> XTestKeyboard::sendKey(std::uint32_t keysym, bool press) {
    auto lock = display_->lock();
    LayoutLookup layout(display_->raw());
    auto position = layout.find(keysym);
    if (!position)
        return "no key types " + keysymName(keysym) + " on the current keyboard layout";
    XTestFakeKeyEvent(display_->raw(), position->code, press ? True : False, CurrentTime);
    XSync(display_->raw(), False);
    return std::nullopt;
}

std::optional<std::string> XTestKeyboard::sendChord(const KeyChord& chord) {
    auto lock = display_->lock();
    Display* display = display_->raw();
    LayoutLookup layout(display);
    auto key = layout.find(chord.keysym);
    if (!key)
        return "no key types " + keysymName(chord.keysym) + " on the current keyboard layout";
    std::vector<KeySym> modifiers;
    if (chord.control)
        modifiers.push_back(XK_Control_L);
    if (chord.alt)
        modifiers.push_back(XK_Alt_L);
    if (chord.super)
        modifiers.push_back(XK_Super_L);
    if (chord.shift || key->shifted)
        modifiers.push_back(XK_Shift_L);
    std::vector<KeyCode> held;
    for (KeySym modifier : modifiers) {
        auto position = layout.find(modifier);
        if (!position)
            return "no key for " + keysymName(modifier) + " on the current keyboard layout";
        held.push_back(position->code);
    }
    for (KeyCode code : held)
        XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, key->code, True, CurrentTime);
    XTestFakeKeyEvent(display, key->code, False, CurrentTime);
    for (auto it = held.rbegin(); it != held.rend(); ++it)
        XTestFakeKeyEvent(display, *it, False, CurrentTime);
    XSync(display, False);
    return std::nullopt;
}

std::optional<std::string> XTestKeyboard::sendAdapted(KeyChord chord) {
    KeyboardTarget target = target_ ? target_() : KeyboardTarget{};
    const ApplicationKeyRules* rules =
        keyRulesFor(target.windowClass, target.executable, defaultTerminal_);
    AdaptedChord adapted = adaptChord(rules, chord);
    if (!adapted.chord)
        return std::nullopt;
    // Offered only now, for this paste: the owner of the primary selection before us (an
    // editor holding the user's selection) drops its selection when it loses it.
    if (adapted.pastesPrimary && offerPrimary_)
        offerPrimary_();
    const KeyChord& sent = *adapted.chord;
    if (auto error = sendChord(sent))
        return error;
    if (sent.control || sent.alt || sent.super || sent.shift)
        clock_.sleepFor(kAfterChord);
    return std::nullopt;
}

std::optional<std::string> XTestKeyboard::postKeystroke(const std::string& characters,
                                                        KeyModifiers modifiers) {
    auto decoded = decodeUtf8(characters);
    if (!decoded)
        return "keystroke text is not valid UTF-8";
    for (char32_t character : *decoded) {
        auto keysym = keysymForCharacter(character);
        if (!keysym)
            return "cannot type the control character " + std::to_string(int(character));
        if (auto error = sendAdapted(chordFor(*keysym, modifiers)))
            return error;
    }
    return std::nullopt;
}

std::optional<std::string> XTestKeyboard::postKeyCode(std::uint16_t keyCode,
                                                      KeyModifiers modifiers) {
    auto keysym = keysymForKeyCode(keyCode);
    if (!keysym)
        return "no key for key code " + std::to_string(keyCode);
    return sendAdapted(chordFor(*keysym, modifiers));
}

}  // namespace orvex::linux_desktop
