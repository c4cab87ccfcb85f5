// frmSetting: the one window where the settings are edited.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "app/app_state.h"

namespace quillet::dialogs {

class SettingWindow;

class SettingDialog {
public:
    // `onUnload` runs when the dialog unloads: it closes the popup and the help note.
    SettingDialog(app::AppState& app, HINSTANCE instance, std::function<void()> onUnload);
    ~SettingDialog();
    SettingDialog(const SettingDialog&) = delete;
    SettingDialog& operator=(const SettingDialog&) = delete;

    // Loads and shows the dialog modeless; Hwnd() tells from then on whether it is still there.
    void Open();

    // Unloads the dialog without applying anything (shutdown), if it is open.
    void Close();

    // The dialog's window while it exists, else null (the settings flow waits for null).
    HWND Hwnd() const;

private:
    app::AppState& app_;
    HINSTANCE instance_;
    std::function<void()> onUnload_;
    std::unique_ptr<SettingWindow> window_;
};

}  // namespace quillet::dialogs
