// frmMain: the small topmost tool window with the report text box, the menus, the tray icon,
// the clipboard watch, start-up and shutdown.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "clipboard/clip_watch.h"
#include "display/system_theme.h"
#include "platform/unique_handle.h"
#include "platform/window.h"
#include "settings/conf_format.h"
#include "shell/app_windows.h"
#include "shell/settings_flow.h"
#include "shell/tray_icon.h"

namespace quillet::shell {

class MainWindow : public WindowBase {
public:
    MainWindow(app::AppState& app, HINSTANCE instance, AppWindows& windows);
    ~MainWindow() override;

    // Creates the window hidden, at the created size; false if the system refused.
    bool Create();

    // Start-up after the single-instance check: titles, settings, placement, tray or window
    // mode, watch.
    void Start();

    // Window mode's delivery of a report: the text box's text, in black, or in red when 字数 is
    // over the limit.
    void ShowReport(std::wstring_view report, bool overLimit);

    // Tray mode's delivery: the Tag text, which the icon's tip then shows.
    void SetTagAndTip(const std::wstring& tag);

    // The free text slot that holds the tray icon's tip.
    const std::wstring& Tag() const { return tag_; }

    AppWindows& Windows() { return windows_; }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCreate();
    void OnSize(int width, int height);
    LRESULT OnCtlColorStatic(HDC dc);
    // The system's colours or theme changed: the palette, the title bar, the tray icon again.
    void OnAppearanceChanged();
    void OnCommand(int id);
    void OnTrayNotify(LPARAM mouseMessage);
    void ShowTrayMenu();
    void RunSettingsFlow();
    void TrayIconSet(DWORD message);
    void OpenHelpPage();
    // `sessionEnding`: the user logs off or the system shuts down; no message can be shown then.
    void OnClose(bool sessionEnding = false);
    void ReportSaveFailure(const std::wstring& path);
    void OnDestroy();
    void SetTitle();
    void PlaceFromSettings();
    WindowGeometry LiveGeometry() const;
    // The window's monitor changed its DPI or the window moved to one with another: `suggested`
    // is the system's rectangle for it (none when the program placed the window itself).
    void OnDpiChanged(int dpi, const RECT* suggested);
    void LoadTrayIcon();

    app::AppState& app_;
    HINSTANCE instance_;
    AppWindows& windows_;
    clip::ClipWatch watch_;
    TrayIcon tray_;
    SettingsFlow flow_;
    UniqueFont font_;
    UniqueMenu trayMenu_;
    UniqueIcon trayIcon_;
    int dpi_ = 96;                // the DPI the font was made for
    bool placing_ = false;        // the program moves the window itself
    HWND description_ = nullptr;  // child: destroyed with the window
    display::LivePalette palette_;
    // What the text box shows: the instruction, a report, or one over the limit.
    display::Ink display::Palette::*ink_ = &display::Palette::instruction;
    bool taskbarLight_ = false;  // the task bar the tray icon was chosen for
    std::wstring tag_;
    UINT taskbarCreated_ = 0;  // the shell's "a new tray exists" broadcast
    bool saved_ = false;       // the settings are saved once, whichever way the program ends
    bool reportingSaveFailure_ = false;  // the save-failure message is up
    // Icon events that came while the settings flow ran: handed in again once it is over.
    std::vector<LPARAM> trayEventsWaiting_;
};

}  // namespace quillet::shell
