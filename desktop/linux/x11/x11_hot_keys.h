#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <tuple>
#include <vector>

#include "base/main_queue.h"
#include "desktop/hot_keys.h"
#include "desktop/linux/x11/x11_event_thread.h"

namespace orvex::linux_desktop {

// Global hot keys as passive key grabs on the root window. Key codes and modifier masks
// are the shortcut tables'; Command and Control both mean Control, Option means Alt.
// Each key is grabbed with every combination of NumLock and CapsLock, so those locks do
// not disable a shortcut.
//
// Failure statuses are X error codes: BadAccess (10) when another client holds the key, or
// when this process registered the same key twice (X would silently let the second grab
// replace the first); BadValue (2) when the key does not exist on the current layout.
class X11HotKeys : public HotKeys {
  public:
    static constexpr std::int32_t kKeyTaken = BadAccess;
    static constexpr std::int32_t kNoSuchKey = BadValue;

    X11HotKeys(X11EventThread& events, MainQueue& mainQueue);
    ~X11HotKeys() override;

    std::int32_t registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                std::uint32_t id) override;
    void unregisterHotKey(std::uint32_t id) override;
    void setHandler(Handler handler) override;

    // Called on the event thread for key events and keyboard-mapping changes.
    void handleEvent(X11Display& display, const XEvent& event);

  private:
    struct Grab {
        KeyCode code = 0;
        unsigned int modifiers = 0;  // X11 mask without the lock bits
        std::uint32_t keysym = 0;
        bool operator<(const Grab& other) const {
            return std::tie(code, modifiers) < std::tie(other.code, other.modifiers);
        }
    };
    // With the event connection's lock held.
    int grab(X11Display& display, const Grab& key);
    void ungrab(X11Display& display, const Grab& key);
    unsigned int lockMasks(X11Display& display);
    void regrabAll(X11Display& display);

    X11EventThread& events_;
    MainQueue& mainQueue_;
    std::mutex mutex_;
    std::map<std::uint32_t, Grab> grabs_;  // by id
    Handler handler_;
    std::set<KeyCode> down_;  // keys whose press fired and whose release is pending
};

// The lock modifiers (CapsLock and the modifier NumLock sits on) combined every way,
// starting with none.
std::vector<unsigned int> lockVariants(unsigned int numLockMask);

}  // namespace orvex::linux_desktop
