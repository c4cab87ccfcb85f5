#include "shell/tray_icon.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "resource.h"

namespace quillet::shell {

namespace {
constexpr UINT kRetryMs = 1000;
}  // namespace

NOTIFYICONDATAW TrayIcon::Data(std::wstring_view tip) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = QUILLET_TRAY_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = QUILLET_TRAY_CALLBACK;
    data.hIcon = icon_;
    const size_t n = std::min(tip.size(), std::size(data.szTip) - 1);
    std::memcpy(data.szTip, tip.data(), n * sizeof(wchar_t));
    data.szTip[n] = L'\0';
    return data;
}

bool TrayIcon::Set(DWORD message, std::wstring_view tip) {
    tipLength_ = std::min(tip.size(), std::size(tip_) - 1);
    std::memcpy(tip_, tip.data(), tipLength_ * sizeof(wchar_t));
    bool ok = false;
    if (message == NIM_ADD) {
        wanted_ = true;
        ok = Add();
    } else {
        NOTIFYICONDATAW data = Data(TipView());
        ok = added_ && Shell_NotifyIconW(message, &data) != FALSE;
    }
    if (owner_) ShowWindow(owner_, SW_HIDE);
    return ok;
}

bool TrayIcon::Add() {
    NOTIFYICONDATAW data = Data(TipView());
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
