#include "shell/app.h"

#include <commctrl.h>

#include "platform/system.h"
#include "platform/unique_handle.h"
#include "platform/wide.h"
#include "shell/app_info.h"
#include "shell/app_state.h"
#include "shell/app_text.h"
#include "shell/app_windows.h"
#include "shell/main_window.h"

namespace quillet::shell {

namespace {

// One name for every copy of the program, wherever it lives and whatever it is called, in the
// user's session.
constexpr wchar_t kInstanceMutex[] = L"Local\\Quillet.frmMain.Running";

// While it is installed, the thread's message box goes to the top of the topmost band as it
// opens. MB_TOPMOST asks for that too, but not every implementation of the box honours it.
LRESULT CALLBACK RaiseMessageBox(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wp);
        SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void UnhookHook(HHOOK hook) {
    UnhookWindowsHookEx(hook);
}
using UniqueHook = UniqueHandle<HHOOK, UnhookHook>;

// The second copy's message: in front of everything, the running copy's topmost window
// included, or the user never sees why nothing started.
void ShowAlreadyRunning() {
    UniqueHook raise(SetWindowsHookExW(WH_CBT, &RaiseMessageBox, nullptr, GetCurrentThreadId()));
    MessageBoxW(nullptr, Wide(AlreadyRunningMessage(U16(sys::ExecutableStem()))).c_str(),
                Wide(kAlreadyRunningCaption).c_str(), MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
}

}  // namespace

int RunQuillet(HINSTANCE instance) {
    UniqueKernelHandle running(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    const DWORD error = GetLastError();
    // A mutex we may not open was created by a copy that runs as well.
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
        ShowAlreadyRunning();
        return 0;
    }

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    AppState app;
    AppWindows windows(app, instance);
    MainWindow main(app, instance, windows);
    if (!main.Create()) return 1;
    main.Start();

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    const int exitCode = static_cast<int>(msg.wParam);
    // An end notice outlives the main window: it runs its time and shrinks away first.
    while (windows.notice.IsOpen() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return exitCode;
}

}  // namespace quillet::shell
