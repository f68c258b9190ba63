#pragma once

#include "desktop/accessibility.h"
#include "desktop/hot_keys.h"
#include "desktop/keyboard.h"
#include "desktop/pasteboard.h"
#include "desktop/processes.h"
#include "desktop/running_apps.h"
#include "desktop/screen_capture.h"
#include "desktop/script_host.h"
#include "desktop/user_defaults.h"
#include "desktop/workspace.h"

namespace orvex {

// Every platform capability the core uses, handed over as one value. The backend that
// fills it owns the objects and outlives every user; no pointer is null once assembled.
struct Desktop {
    RunningApplications* runningApplications = nullptr;
    Workspace* workspace = nullptr;
    Pasteboard* pasteboard = nullptr;
    Accessibility* accessibility = nullptr;
    Keyboard* keyboard = nullptr;
    HotKeys* hotKeys = nullptr;
    ScreenCapture* screenCapture = nullptr;
    Processes* processes = nullptr;
    UserDefaults* userDefaults = nullptr;
    ScriptHost* scriptHost = nullptr;

    // True when every capability is present.
    bool complete() const {
        return runningApplications && workspace && pasteboard && accessibility && keyboard &&
               hotKeys && screenCapture && processes && userDefaults && scriptHost;
    }
};

}  // namespace orvex
