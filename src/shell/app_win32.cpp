#include "shell/app.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/app_text.h"
#include "autostart/autostart.h"
#include "display/dpi.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/unique_handle.h"
#include "platform/wide.h"
#include "shell/app_windows.h"
#include "shell/main_window.h"

namespace quillet::shell {

namespace {

// One name for every copy of the program, wherever it lives and whatever it is called, in the
// user's session.
constexpr wchar_t kInstanceMutex[] = L"Local\\Quillet.frmMain.Running";

}  // namespace

int RunQuillet(HINSTANCE instance) {
    // Before any window: each sizes itself for its monitor.
    display::DeclarePerMonitorAwareness();
    UniqueKernelHandle running(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    const DWORD error = GetLastError();
    // A mutex we may not open was created by a copy that runs as well.
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
        // The running copy's window is topmost: the box must come in front of it.
        sys::MessageBoxInFront(nullptr,
                               Wide(app::AlreadyRunningMessage(U16(sys::ExecutableStem()))),
                               Wide(app::kAlreadyRunningCaption), MB_OK);
        return 0;
    }

    // The user moved the folder: the entry that started the old place starts this one.
    autostart::RepointIfGone();

    // Once for every window: the settings dialog's list and the tooltips (bar classes).
    INITCOMMONCONTROLSEX icc{sizeof icc,
                             ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    const sys::ComApartment com;  // for the shell's handlers of the help page
    app::AppState app;
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
