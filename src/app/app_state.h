// The state the program's windows share for the whole run, in one place. Window handles are not
// kept here: each is read from the object that owns the window, so none can go stale.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace quillet::app {

// How the settings dialog ended, for the settings flow that opened it.
enum class TrayResult {
    None,  // back with the main window
    Tray,  // back into the notification area
    End,   // end the program
};

struct AppState {
    Settings settings;
    // Left by the last opening of the settings dialog; it also decides whether the next one
    // offers 終了.
    TrayResult trayResult = TrayResult::None;
    // The next notice's message, U+0001 and its display time in milliseconds.
    std::u16string NoticeMessage;
};

}  // namespace quillet::app
