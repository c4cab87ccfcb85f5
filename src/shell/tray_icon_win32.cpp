#include "shell/tray_icon.h"

#include <cstddef>
#include <cstring>

#include "resource.h"

namespace quillet::shell {

namespace {
constexpr UINT kRetryMs = 1000;
// Characters of a tip, without its terminating zero.
constexpr size_t kTipCapacity = sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) - 1;
}  // namespace

NOTIFYICONDATAW TrayIcon::Data() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = QUILLET_TRAY_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = QUILLET_TRAY_CALLBACK;
    data.hIcon = icon_;
    std::memcpy(data.szTip, tip_.c_str(), (tip_.size() + 1) * sizeof(wchar_t));
    return data;
}

bool TrayIcon::Set(DWORD message, std::wstring_view tip) {
    tip_ = tip.substr(0, kTipCapacity);
    bool ok = false;
    if (message == NIM_ADD) {
        wanted_ = true;
        ok = Add();
    } else {
        NOTIFYICONDATAW data = Data();
        ok = added_ && Shell_NotifyIconW(message, &data) != FALSE;
    }
    if (owner_) ShowWindow(owner_, SW_HIDE);
    return ok;
}

bool TrayIcon::Add() {
    NOTIFYICONDATAW data = Data();
    added_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    // A shell that already holds our icon (after a crash of ours, say) refuses the add: take
    // the icon over instead.
    if (!added_) added_ = Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    if (owner_) {
        if (added_) {
            KillTimer(owner_, kRetryTimerId);
        } else {
            SetTimer(owner_, kRetryTimerId, kRetryMs, nullptr);
        }
    }
    return added_;
}

void TrayIcon::Delete() {
    if (owner_) KillTimer(owner_, kRetryTimerId);
    wanted_ = false;
    if (!added_) return;
    added_ = false;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = QUILLET_TRAY_ID;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void TrayIcon::OnTaskbarCreated() {
    // The new shell knows nothing of the icon it had.
    added_ = false;
    if (wanted_) Add();
}

void TrayIcon::OnRetryTimer() {
    if (wanted_ && !added_) {
        Add();
    } else if (owner_) {
        KillTimer(owner_, kRetryTimerId);
    }
}

}  // namespace quillet::shell
