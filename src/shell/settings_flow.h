// The settings flow: the one nested loop of the program. It stops the watch, takes the icon
// away, opens the settings dialog and waits for it, then goes on as the dialog decided.
#pragma once

#include <windows.h>

#include <functional>

#include "app/app_state.h"
#include "clipboard/clip_watch.h"
#include "shell/app_windows.h"
#include "shell/tray_icon.h"

namespace quillet::shell {

class SettingsFlow {
public:
    // `addIcon` puts the icon into the tray with the main window's current tip.
    SettingsFlow(app::AppState& app, AppWindows& windows, clip::ClipWatch& watch, TrayIcon& tray,
                 std::function<void()> addIcon)
        : app_(app), windows_(windows), watch_(watch), tray_(tray), addIcon_(std::move(addIcon)) {}
    SettingsFlow(const SettingsFlow&) = delete;
    SettingsFlow& operator=(const SettingsFlow&) = delete;

    // Runs the whole flow for the main window `main` and returns when it is over: the dialog
    // has gone and every notice it led to has closed. Does nothing while a flow runs.
    void Run(HWND main);

    // True from the start of Run until it returns, notices included: anything that would start
    // the flow again meanwhile must wait.
    bool Running() const { return running_; }

private:
    // Sleeps and dispatches until the dialog has gone; false when the session ended meanwhile.
    bool WaitForDialog();
    void GoOn(HWND main);

    app::AppState& app_;
    AppWindows& windows_;
    clip::ClipWatch& watch_;
    TrayIcon& tray_;
    std::function<void()> addIcon_;
    bool running_ = false;
};

}  // namespace quillet::shell
