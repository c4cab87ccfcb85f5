#include "platform/message_box.h"

#include "platform/unique_handle.h"

namespace quillet::sys {

namespace {

LRESULT CALLBACK RaiseActivatedBox(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        SetWindowPos(reinterpret_cast<HWND>(wp), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void Unhook(HHOOK hook) {
    UnhookWindowsHookEx(hook);
}
using UniqueHook = UniqueHandle<HHOOK, Unhook>;

}  // namespace

int MessageBoxInFront(HWND owner, const std::wstring& text, const std::wstring& caption,
                      UINT type) {
    // Only this thread's windows, only while the box is open.
    UniqueHook raise(SetWindowsHookExW(WH_CBT, &RaiseActivatedBox, nullptr, GetCurrentThreadId()));
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type | MB_TOPMOST | MB_SETFOREGROUND);
}

}  // namespace quillet::sys
