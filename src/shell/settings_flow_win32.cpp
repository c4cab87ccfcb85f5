#include "shell/settings_flow.h"

#include <optional>

#include "app/app_info.h"
#include "app/app_text.h"
#include "platform/wide.h"
#include "platform/window.h"

namespace quillet::shell {

namespace {

// Resets the guard however the flow ends.
class Guard {
public:
    explicit Guard(bool& flag) : flag_(flag) { flag_ = true; }
    ~Guard() { flag_ = false; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    bool& flag_;
};

}  // namespace

void SettingsFlow::Run(HWND main) {
    if (running_) return;
    const Guard guard(running_);
    const bool wasInTray = tray_.Wanted();
    watch_.Stop(main);
    tray_.Delete();
    windows_.setting.Open();
    if (!windows_.setting.Hwnd()) {
        // The dialog could not be made: go on as before rather than act on an old result.
        if (wasInTray) {
            addIcon_();
        } else {
            ShowWindow(main, SW_SHOW);
        }
        watch_.Start(main);
        return;
    }
    EnableWindow(main, FALSE);
    // The session may have ended meanwhile: the main window is gone then, and so is the dialog.
    if (!WaitForDialog() || !IsWindow(main)) return;
    EnableWindow(main, TRUE);
    GoOn(main);
}

bool SettingsFlow::WaitForDialog() {
    while (HWND dialog = windows_.setting.Hwnd()) {
        Sleep(10);
        if (const std::optional<int> quit = DispatchPending(dialog)) {
            // Shutdown began inside the wait: leave the quit for the main loop.
            PostQuitMessage(*quit);
            return false;
        }
    }
    return true;
}

void SettingsFlow::GoOn(HWND main) {
    switch (app_.trayResult) {
        case app::TrayResult::Tray:
            ShowWindow(main, SW_HIDE);
            windows_.notice.Show(app::TrayNoticeText(U16(app::AppTitle())), 1000, 1);
            // The notice dispatches messages: the session may have ended inside it.
            if (!IsWindow(main)) return;
            addIcon_();
            watch_.Start(main);
            break;
        case app::TrayResult::End:
            windows_.notice.Show(app::kEndNoticeText, 500, 0);
            tray_.Delete();
            // Posted: the dialog's click that led here is still on the stack.
            PostMessageW(main, WM_CLOSE, 0, 0);
            break;
        case app::TrayResult::None:
            tray_.Delete();
            ShowWindow(main, SW_SHOW);
            watch_.Start(main);
            break;
    }
}

}  // namespace quillet::shell
