// frmMain: the small topmost tool window with the report text box, the menus, the clipboard
// watch, start-up and shutdown.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/unique_handle.h"
#include "platform/window.h"
#include "settings/conf_format.h"
#include "shell/app_state.h"
#include "shell/clip_watch.h"

namespace quillet::shell {

class MainWindow : public WindowBase {
public:
    MainWindow(AppState& app, HINSTANCE instance);
    ~MainWindow() override;

    // Creates the window hidden, at the created size; false if the system refused.
    bool Create();

    // Start-up after the single-instance check: titles, settings, placement, watch, showing.
    void Start();

    // Window mode's delivery of a report: the text box's text, in black.
    void ShowReport(std::wstring_view report);

    // The free text slot that holds the tray icon's tip.
    const std::wstring& Tag() const { return tag_; }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCreate();
    void OnSize(int width, int height);
    LRESULT OnCtlColorStatic(HDC dc);
    void OnCommand(int id);
    void OnClose();
    void OnDestroy();
    void SetTitle();
    void PlaceFromSettings();
    WindowGeometry LiveGeometry() const;

    AppState& app_;
    HINSTANCE instance_;
    ClipWatch watch_;
    UniqueFont font_;
    UniqueMenu trayMenu_;
    HWND description_ = nullptr;  // child: destroyed with the window
    COLORREF textColor_;
    std::wstring tag_;
    bool saved_ = false;  // the settings are saved once, whichever way the program ends
};

}  // namespace quillet::shell
