// frmSetting: the one window where the settings are edited.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "shell/app_state.h"

namespace quillet::dialogs {

class SettingWindow;

class SettingDialog {
public:
    // `onUnload` runs when the dialog unloads: it closes the popup and the help note.
    SettingDialog(shell::AppState& app, HINSTANCE instance, std::function<void()> onUnload);
    ~SettingDialog();
    SettingDialog(const SettingDialog&) = delete;
    SettingDialog& operator=(const SettingDialog&) = delete;

    // Loads and shows the dialog modeless; SettingHwnd is set once it has loaded and cleared when
    // it unloads.
    void Open();

    // Unloads the dialog without applying anything (shutdown), if it is open.
    void Close();

    HWND Hwnd() const;

private:
    shell::AppState& app_;
    HINSTANCE instance_;
    std::function<void()> onUnload_;
    std::unique_ptr<SettingWindow> window_;
};

}  // namespace quillet::dialogs
