#include "shell/main_window.h"

#include <cmath>
#include <vector>

#include "app/app_info.h"
#include "app/app_text.h"
#include "display/dpi.h"
#include "display/monitors.h"
#include "display/placement.h"
#include "display/units.h"
#include "platform/accessible.h"
#include "platform/font.h"
#include "platform/icon.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/wide.h"
#include "resource.h"
#include "settings/conf_file.h"
#include "shell/count_event.h"
#include "shell/show_count.h"

namespace quillet::shell {

using app::AppTitle;

namespace {

// The window's size when created, in 96-dpi pixels; the settings may change it at once.
constexpr int kClientWidth = 240;
constexpr int kClientHeight = 57;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
// A tool window has only the close box and no task-bar button.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

// Icon events beyond these, queued during one settings flow, are old news.
constexpr size_t kMaxWaitingTrayEvents = 8;

}  // namespace

MainWindow::MainWindow(app::AppState& app, HINSTANCE instance, AppWindows& windows)
    : app_(app),
      instance_(instance),
      windows_(windows),
      watch_(
          [this](const std::u16string& text, const std::u16string& unicode) {
              return ShowCount(app_, *this, text, unicode);
          },
          {}, [this] { return WantsUnicodeText(app_.settings); }),
      flow_(app, windows, watch_, tray_, [this] { TrayIconSet(NIM_ADD); }) {}

MainWindow::~MainWindow() {
    DestroyNow();
}

bool MainWindow::Create() {
    // Shared icons belong to the system: nothing to release.
    HICON icon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), LR_SHARED));
    HICON small = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (!RegisterClassOnce(instance_, QUILLET_MAIN_CLASS, icon, small,
                           MAKEINTRESOURCEW(IDR_MAINMENU))) {
        return false;
    }
    // Made on the primary monitor, at its DPI; the settings place it at once.
    const int dpi = display::DpiAt({0, 0});
    const RECT outer = display::OuterRect(
        {0, 0, display::Scale(kClientWidth, dpi), display::Scale(kClientHeight, dpi)}, kStyle, true,
        kExStyle, dpi);
    return WindowBase::Create(instance_, QUILLET_MAIN_CLASS, L"", kStyle, kExStyle, 0, 0,
                              outer.right - outer.left, outer.bottom - outer.top, nullptr,
                              nullptr) != nullptr;
}

void MainWindow::OnCreate() {
    dpi_ = display::DpiOfWindow(Hwnd());
    font_ = MakeFont(kGothicFace, kTextSize, true, dpi_);
    description_ = CreateWindowExW(
        0, L"EDIT", Wide(app::kInstructionText).c_str(),
        WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 0, 0, 0, 0, Hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TXTDESCRIPTION)), instance_, nullptr);
    SendMessageW(description_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    // Screen readers hear each report: the box names itself by what it shows.
    SetAccessibleName(description_);
    MarkLiveRegion(description_);
    display::UseDarkTitleBar(Hwnd(), palette_.get().scheme == display::Scheme::Dark);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    OnSize(client.right, client.bottom);
    trayMenu_.reset(LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_TRAYMENU)));
    LoadTrayIcon();
    // Explorer broadcasts it when it (re)creates the tray; let it through to a program that
    // runs with other rights than the shell.
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    ChangeWindowMessageFilterEx(Hwnd(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
}

void MainWindow::LoadTrayIcon() {
    // The icon's own small image at the small-icon size of the task bar's DPI (the primary
    // monitor's), not the large one shrunk by the shell.
    const int dpi = display::DpiAt({0, 0});
    trayIcon_ = LoadIconSized(instance_, IDI_APP, display::SystemMetric(SM_CXSMICON, dpi));
    tray_.Attach(Hwnd(), trayIcon_.get());
}

void MainWindow::Start() {
    app::SetTopMost(Hwnd());
    SetTitle();
    if (trayMenu_) {
        ModifyMenuW(trayMenu_.get(), IDM_VERNO, MF_BYCOMMAND | MF_STRING, IDM_VERNO,
                    app::VersionItemText().c_str());
    }

    // Without Conf.txt: the created size, centred on the primary monitor's work area.
    const int systemDpi = display::SystemDpi();
    const std::vector<display::MonitorArea> monitors = display::Monitors();
    const display::MonitorArea* primary = display::MonitorAt(0, 0, monitors);
    const display::ScreenRect work = primary
                                         ? primary->Work
                                         : display::ScreenRect{0, 0, GetSystemMetrics(SM_CXSCREEN),
                                                               GetSystemMetrics(SM_CYSCREEN)};
    RECT rect{};
    GetWindowRect(Hwnd(), &rect);
    const int dpi = display::DpiOfWindow(Hwnd());
    auto twips = [](double pixels, int at) {
        return static_cast<int32_t>(std::lround(display::TwipsFromPixels(pixels, at)));
    };
    app_.settings =
        ConfDefault(twips(static_cast<double>(work.Width()), systemDpi),
                    twips(static_cast<double>(work.Height()), systemDpi),
                    twips(rect.right - rect.left, dpi), twips(rect.bottom - rect.top, dpi));
    app_.settings.FormLeft += twips(static_cast<double>(work.Left), systemDpi);
    app_.settings.FormTop += twips(static_cast<double>(work.Top), systemDpi);
    ConfLoad(ConfPath(), app_.settings);
    PlaceFromSettings();

    SetTitle();
    const bool tray = app_.settings.TaskTray == 1;
    if (tray) {
        windows_.notice.Show(app::TrayNoticeText(U16(AppTitle())), 1500, 1);
        // The notice pumps messages: the session may have ended meanwhile.
        if (!Hwnd()) return;
        TrayIconSet(NIM_ADD);
        ShowWindow(Hwnd(), SW_HIDE);
    }
    watch_.Start(Hwnd());
    if (!tray) ShowWindow(Hwnd(), SW_SHOW);
}

void MainWindow::TrayIconSet(DWORD message) {
    tray_.Set(message, tag_);
}

void MainWindow::SetTagAndTip(const std::wstring& tag) {
    tag_ = tag;
    TrayIconSet(NIM_MODIFY);
}

void MainWindow::SetTitle() {
    tag_ = AppTitle();
    SetWindowTextW(Hwnd(), tag_.c_str());
}

void MainWindow::PlaceFromSettings() {
    const Settings& s = app_.settings;
    const display::ScreenRect place = display::WindowFromTwips(
        {static_cast<double>(s.FormLeft), static_cast<double>(s.FormTop),
         static_cast<double>(s.FormWidth), static_cast<double>(s.FormHeight)},
        display::SystemDpi(), display::Monitors());
    // Moved onto a monitor of another DPI, the window is told so: its size was chosen for that
    // monitor already, so the system's suggestion is not taken this time.
    placing_ = true;
    SetWindowPos(Hwnd(), nullptr, static_cast<int>(place.Left), static_cast<int>(place.Top),
                 static_cast<int>(place.Width()), static_cast<int>(place.Height()),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    placing_ = false;
    OnDpiChanged(display::DpiOfWindow(Hwnd()), nullptr);
}

WindowGeometry MainWindow::LiveGeometry() const {
    RECT rect{};
    GetWindowRect(Hwnd(), &rect);
    const display::TwipsGeometry g =
        display::TwipsFromWindow({rect.left, rect.top, rect.right, rect.bottom},
                                 display::SystemDpi(), display::DpiOfWindow(Hwnd()));
    return {static_cast<float>(g.Left), static_cast<float>(g.Top), static_cast<float>(g.Width),
            static_cast<float>(g.Height)};
}

void MainWindow::OnDpiChanged(int dpi, const RECT* suggested) {
    if (suggested && !placing_) {
        SetWindowPos(Hwnd(), nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (dpi == dpi_ && font_) return;
    dpi_ = dpi;
    UniqueFont font = MakeFont(kGothicFace, kTextSize, true, dpi_);
    if (!font) return;
    SendMessageW(description_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
}

void MainWindow::ShowReport(std::wstring_view report, bool overLimit) {
    ink_ = overLimit ? &display::Palette::overLimit : &display::Palette::report;
    SetWindowTextW(description_, std::wstring(report).c_str());
    // The colour changes even when the text does not.
    InvalidateRect(description_, nullptr, TRUE);
    AnnounceLiveRegion(description_);
}

void MainWindow::OnSize(int width, int height) {
    if (description_) MoveWindow(description_, 0, 0, width, height, TRUE);
}

LRESULT MainWindow::OnCtlColorStatic(HDC dc) {
    const display::Ink& ink = palette_.get().*ink_;
    SetTextColor(dc, display::ToColorRef(ink.text));
    SetBkColor(dc, display::ToColorRef(ink.back));
    return reinterpret_cast<LRESULT>(palette_.Brush(ink.back));
}

void MainWindow::OnAppearanceChanged() {
    if (palette_.Refresh()) {
        display::UseDarkTitleBar(Hwnd(), palette_.get().scheme == display::Scheme::Dark);
        InvalidateRect(description_, nullptr, TRUE);
    }
}

void MainWindow::OnCommand(int id) {
    switch (id) {
        case IDM_DISP:
        case IDM_DISP2:
            RunSettingsFlow();
            break;
        case IDM_HELP:
        case IDM_HELP2:
            OpenHelpPage();
            break;
        case IDM_HELPSTR:
            windows_.help.Show(true);
            break;
        case IDM_TRAYOUT:
            tray_.Delete();
            app_.settings.TaskTray = 0;
            ShowWindow(Hwnd(), SW_SHOW);
            break;
        case IDM_END2:
            windows_.notice.Show(app::kEndNoticeText, 1000, 0);
            [[fallthrough]];
        case IDM_END:
            tray_.Delete();
            SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

void MainWindow::OnTrayNotify(LPARAM mouseMessage) {
    // The flow's notice dispatches messages: an event queued behind the dialog's closing click
    // would start a second flow inside the first. It waits until the first is over.
    if (flow_.Running()) {
        if (trayEventsWaiting_.size() < kMaxWaitingTrayEvents) {
            trayEventsWaiting_.push_back(mouseMessage);
        }
        return;
    }
    switch (mouseMessage) {
        case WM_LBUTTONDBLCLK:
            RunSettingsFlow();
            break;
        case WM_RBUTTONDOWN:
            ShowTrayMenu();
            break;
        default:
            // Single clicks, releases and moves over the icon do nothing.
            break;
    }
}

void MainWindow::ShowTrayMenu() {
    HMENU popup = trayMenu_ ? GetSubMenu(trayMenu_.get(), 0) : nullptr;
    if (!popup) return;
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(Hwnd());
    TrackPopupMenuEx(popup, TPM_RIGHTBUTTON, at.x, at.y, Hwnd(), nullptr);
    PostMessageW(Hwnd(), WM_NULL, 0, 0);
}

void MainWindow::RunSettingsFlow() {
    flow_.Run(Hwnd());
    if (!Hwnd()) return;
    for (LPARAM event : trayEventsWaiting_) {
        PostMessageW(Hwnd(), QUILLET_TRAY_CALLBACK, QUILLET_TRAY_ID, event);
    }
    trayEventsWaiting_.clear();
}

void MainWindow::OpenHelpPage() {
    const std::wstring page = sys::ExecutableFolder() + L"\\" + QUILLET_HELP_PAGE;
    if (!sys::ShellOpen(page)) {
        sys::MessageBoxInFront(Hwnd(), Wide(app::HelpPageFailedMessage(U16(page))), AppTitle(),
                               MB_OK | MB_ICONWARNING);
    }
}

void MainWindow::OnClose(bool sessionEnding) {
    // The close box of a window under the save-failure message: that message ends the program.
    if (reportingSaveFailure_) return;
    // Every way out comes here first; the close is never cancelled.
    if (!saved_) {
        saved_ = true;
        const std::wstring path = ConfPath();
        if (!ConfSave(path, app_.settings, LiveGeometry()) && !sessionEnding &&
            !ConfIsReadOnly(path)) {
            ReportSaveFailure(path);
        }
    }
    // A close that arrives while a clipboard change is handled runs inside one of its waits on
    // other processes, with the watch's procedure still on the stack: destroy the window once
    // it has returned.
    if (watch_.Busy()) {
        PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
        return;
    }
    DestroyWindow(Hwnd());
}

void MainWindow::ReportSaveFailure(const std::wstring& path) {
    // The program may live in the tray with its window hidden, and the user is busy elsewhere:
    // the message comes to the front on its own.
    reportingSaveFailure_ = true;
    sys::MessageBoxInFront(Hwnd(), Wide(app::SaveFailedMessage(U16(path))), AppTitle(),
                           MB_OK | MB_ICONWARNING);
    reportingSaveFailure_ = false;
}

void MainWindow::OnDestroy() {
    watch_.Stop(Hwnd());
    tray_.Delete();
    windows_.popup.Close();
    windows_.help.Show(false);
    windows_.setting.Close();
    PostQuitMessage(0);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_SIZE:
            OnSize(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lp) == description_) {
                return OnCtlColorStatic(reinterpret_cast<HDC>(wp));
            }
            break;
        case WM_COMMAND:
            // A command sent by another program while a clipboard change is handled runs inside
            // one of the watch's waits; like the tray's events, it waits for the message loop.
            if (HIWORD(wp) == 0 && watch_.Busy()) {
                PostMessageW(Hwnd(), WM_COMMAND, wp, lp);
            } else if (HIWORD(wp) == 0) {
                OnCommand(LOWORD(wp));
            }
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends after this returns: save now, through the close request.
            if (wp) OnClose(true);
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case QUILLET_TRAY_CALLBACK:
            if (wp != QUILLET_TRAY_ID) return 0;
            // Sent by the shell, it may run inside one of the program's own waits on another
            // process (the tray tip, a clipboard read): posted to itself, it runs from the
            // message loop instead, where a double-click can stop the watch safely.
            if (InSendMessageEx(nullptr) != ISMEX_NOSEND) {
                PostMessageW(Hwnd(), QUILLET_TRAY_CALLBACK, wp, lp);
                return 0;
            }
            OnTrayNotify(lp);
            return 0;
        case WM_TIMER:
            if (wp == TrayIcon::kRetryTimerId) tray_.OnRetryTimer();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            OnAppearanceChanged();
            break;
        default:
            if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
                // Also sent when the DPI changes: the icon at the task bar's new size.
                LoadTrayIcon();
                tray_.OnTaskbarCreated();
                return 0;
            }
            break;
    }
    return Default(msg, wp, lp);
}

}  // namespace quillet::shell
