// The state the program's windows share for the whole run, in one place.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings.h"

namespace quillet::shell {

struct WndInfo {
    HWND MainHwnd = nullptr;
    HWND PopupHwnd = nullptr;    // the count popup while it exists
    HWND SettingHwnd = nullptr;  // the settings dialog while it exists
    HWND PrevFgHwnd = nullptr;   // the window to give the foreground back to after a popup
    std::u16string LastText;     // the clipboard text counted last
};

struct AppState {
    Settings settings;
    WndInfo wnd;
    int32_t TwipsPerPixelX = 15;
    int32_t TwipsPerPixelY = 15;
    std::u16string TrayResult;  // outcome of the settings dialog: "Tray", "End" or empty
    // The next notice's message, U+0001 and its display time in milliseconds.
    std::u16string NoticeMessage;
};

}  // namespace quillet::shell
