#include "desktop/linux/x11/x11_hot_keys.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <tuple>

#include "app/shortcuts/x11_key_map.h"

namespace orvex::linux_desktop {

namespace {

constexpr unsigned int kRelevantModifiers = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;

unsigned int numLockMask(Display* display) {
    unsigned int mask = 0;
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map)
        return 0;
    KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int k = 0; k < map->max_keypermod; ++k) {
            if (numLock != 0 && map->modifiermap[modifier * map->max_keypermod + k] == numLock)
                mask = 1u << modifier;
        }
    }
    XFreeModifiermap(map);
    return mask;
}

}  // namespace

std::vector<unsigned int> lockVariants(unsigned int numLockMask) {
    std::vector<unsigned int> variants{0, LockMask};
    if (numLockMask != 0 && numLockMask != LockMask) {
        variants.push_back(numLockMask);
        variants.push_back(numLockMask | LockMask);
    }
    return variants;
}

X11HotKeys::X11HotKeys(X11EventThread& events, MainQueue& mainQueue)
    : events_(events), mainQueue_(mainQueue) {
    // Held keys then repeat as presses alone, so a release always means the key went up.
    events_.withDisplay([](X11Display& display) {
        Bool supported = False;
        XkbSetDetectableAutoRepeat(display.raw(), True, &supported);
    });
}

// Lock order everywhere: the event connection's lock, then this object's mutex (the event
// thread holds the first when it hands events over).
X11HotKeys::~X11HotKeys() {
    events_.withDisplay([&](X11Display& display) {
        std::lock_guard lock(mutex_);
        for (auto& [id, key] : grabs_)
            ungrab(display, key);
        grabs_.clear();
    });
}

unsigned int X11HotKeys::lockMasks(X11Display& display) {
    return numLockMask(display.raw());
}

int X11HotKeys::grab(X11Display& display, const Grab& key) {
    X11ErrorTrap trap(display.raw());
    for (unsigned int variant : lockVariants(lockMasks(display))) {
        XGrabKey(display.raw(), key.code, key.modifiers | variant, display.root(), False,
                 GrabModeAsync, GrabModeAsync);
    }
    int error = trap.sync();
    if (error != Success) {
        // Some variants may have been granted; none is kept.
        ungrab(display, key);
    }
    return error;
}

void X11HotKeys::ungrab(X11Display& display, const Grab& key) {
    X11ErrorTrap trap(display.raw());
    for (unsigned int variant : lockVariants(lockMasks(display)))
        XUngrabKey(display.raw(), key.code, key.modifiers | variant, display.root());
    trap.sync();
}

std::int32_t X11HotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                        std::uint32_t id) {
    auto keysym = x11KeysymFor(keyCode);
    if (!keysym)
        return kNoSuchKey;
    std::int32_t status = kSuccess;
    events_.withDisplay([&](X11Display& display) {
        std::lock_guard lock(mutex_);
        Grab key;
        key.keysym = *keysym;
        key.code = XKeysymToKeycode(display.raw(), *keysym);
        key.modifiers = x11ModifiersFor(modifiers);
        if (key.code == 0) {
            status = kNoSuchKey;
            return;
        }
        for (auto& [other, held] : grabs_) {
            if (other != id && held.code == key.code && held.modifiers == key.modifiers) {
                status = kKeyTaken;
                return;
            }
        }
        if (auto previous = grabs_.find(id); previous != grabs_.end()) {
            ungrab(display, previous->second);
            grabs_.erase(previous);
        }
        int error = grab(display, key);
        if (error != Success) {
            status = error;
            return;
        }
        grabs_[id] = key;
    });
    return status;
}

void X11HotKeys::unregisterHotKey(std::uint32_t id) {
    events_.withDisplay([&](X11Display& display) {
        std::lock_guard lock(mutex_);
        auto found = grabs_.find(id);
        if (found == grabs_.end())
            return;
        ungrab(display, found->second);
        grabs_.erase(found);
    });
}

void X11HotKeys::setHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void X11HotKeys::regrabAll(X11Display& display) {
    for (auto& [id, key] : grabs_) {
        ungrab(display, key);
        KeyCode code = XKeysymToKeycode(display.raw(), key.keysym);
        if (code == 0)
            continue;
        key.code = code;
        grab(display, key);
    }
}

void X11HotKeys::handleEvent(X11Display& display, const XEvent& event) {
    if (event.type == MappingNotify) {
        XMappingEvent mapping = event.xmapping;
        XRefreshKeyboardMapping(&mapping);
        if (mapping.request == MappingKeyboard || mapping.request == MappingModifier) {
            std::lock_guard lock(mutex_);
            regrabAll(display);
        }
        return;
    }
    if (event.type != KeyPress && event.type != KeyRelease)
        return;
    const XKeyEvent& key = event.xkey;
    std::lock_guard lock(mutex_);
    if (event.type == KeyRelease) {
        down_.erase(static_cast<KeyCode>(key.keycode));
        return;
    }
    // Auto-repeat sends presses without releases; a held shortcut fires once.
    if (!down_.insert(static_cast<KeyCode>(key.keycode)).second)
        return;
    const unsigned int state = key.state & kRelevantModifiers;
    for (auto& [id, grab] : grabs_) {
        if (grab.code == key.keycode && grab.modifiers == state) {
            Handler handler = handler_;
            std::uint32_t fired = id;
            if (handler)
                mainQueue_.post([handler, fired] { handler(fired); });
            return;
        }
    }
}

}  // namespace orvex::linux_desktop
