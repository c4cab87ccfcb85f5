// The notification-area icon: added, changed and removed in one place; back by itself when the
// shell restarts or was not ready yet.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <string_view>

namespace quillet::shell {

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon() { Delete(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The window that receives the icon's notifications and whose icon it shows.
    void Attach(HWND owner, HICON icon) {
        owner_ = owner;
        icon_ = icon;
    }

    // TrayIconSet: NIM_ADD or NIM_MODIFY with `tip` (cut to what the structure holds), then
    // hides the owner window. An add that the shell refuses (its tray is not there yet) is
    // tried again every second until it succeeds or the icon is deleted.
    bool Set(DWORD message, std::wstring_view tip);

    // TrayIconDelete: harmless when there is no icon.
    void Delete();

    // The shell announced a new tray ("TaskbarCreated"): add the icon again if there is one.
    void OnTaskbarCreated();

    // The retry timer of a refused add ticked.
    void OnRetryTimer();

    // Whether the program lives in the tray now (an icon added, or waiting to be added).
    bool Wanted() const { return wanted_; }

    static constexpr UINT_PTR kRetryTimerId = 0x7121;

private:
    NOTIFYICONDATAW Data() const;
    bool Add();

    HWND owner_ = nullptr;
    HICON icon_ = nullptr;
    std::wstring tip_;     // already cut to what the structure holds
    bool wanted_ = false;  // in the tray: added, or refused and waiting for another try
    bool added_ = false;   // the shell has our icon
};

}  // namespace quillet::shell
