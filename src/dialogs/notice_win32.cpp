// The notice window: a borderless, topmost note with a large message (blue on pale cyan in the
// light look) that
// shows for a set time, then shrinks away into its bottom-right corner and closes. It never
// takes the foreground: the user keeps typing where they were.
#include <optional>

#include "app/app_text.h"
#include "dialogs/notice.h"
#include "dialogs/notice_rules.h"
#include "display/dpi.h"
#include "display/monitors.h"
#include "display/system_theme.h"
#include "display/units.h"
#include "platform/controls.h"
#include "platform/font.h"
#include "platform/unique_handle.h"
#include "platform/wide.h"
#include "platform/window.h"
#include "resource.h"

namespace quillet::dialogs {

namespace {

// The label is larger than the window, which clips it (twips).
constexpr int32_t kLabelLeftTwips = 90;
constexpr int32_t kLabelWidthTwips = 7995;
constexpr int32_t kLabelHeightTwips = 4515;

// "ＭＳ Ｐゴシック" 15.75 pt: 21 pixels high at 96 dpi.
constexpr int kFontSize = 1575;

constexpr UINT_PTR kTimerId = 1;

constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;
// Topmost, no task-bar button, never activated by showing or clicking.
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

}  // namespace

class NoticeWindow : public WindowBase {
public:
    NoticeWindow(app::AppState& app, HINSTANCE instance) : app_(app), instance_(instance) {}
    ~NoticeWindow() override { DestroyNow(); }

    // Loads the window (afresh, if a notice is still up) from NoticeMessage and shows it
    // without activating it.
    bool Load();
    bool IsOpen() const { return Hwnd() != nullptr; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool Create();
    void OnCreate();
    // Font and label for the DPI of the monitor the notice opens on.
    void ApplyDpi(int dpi);
    void OnTimer();
    LRESULT OnCtlColorStatic(HDC dc);
    // The closing animation; false when a new notice took the window over meanwhile.
    bool ShrinkAway();

    app::AppState& app_;
    HINSTANCE instance_;
    HWND label_ = nullptr;
    UniqueFont font_;
    int dpi_ = 0;
    display::LivePalette palette_;
    // Counts loads, so that a shrink interrupted by a newer notice leaves the window alone.
    unsigned generation_ = 0;
};

bool NoticeWindow::Create() {
    if (!RegisterClassOnce(instance_, QUILLET_SPLASH_CLASS, nullptr, nullptr, nullptr)) {
        return false;
    }
    return WindowBase::Create(instance_, QUILLET_SPLASH_CLASS, L"", kStyle, kExStyle, 0, 0, 1, 1,
                              nullptr, nullptr) != nullptr;
}

void NoticeWindow::OnCreate() {
    label_ = MakeChild(Hwnd(), instance_, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, 0,
                       IDC_SPLASH_LBLMSG);
}

void NoticeWindow::ApplyDpi(int dpi) {
    if (dpi == dpi_ && font_) return;
    UniqueFont font = MakeFont(kProportionalFace, kFontSize, false, dpi);
    if (!font) return;
    dpi_ = dpi;
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);
    MoveWindow(label_, display::PixelsFromTwips(kLabelLeftTwips, dpi),
               display::PixelsFromTwips(kNoticeLabelTopTwips, dpi),
               display::PixelsFromTwips(kLabelWidthTwips, dpi),
               display::PixelsFromTwips(kLabelHeightTwips, dpi), TRUE);
}

bool NoticeWindow::Load() {
    if (!IsOpen() && !Create()) return false;
    ++generation_;
    const NoticeParts parts = SplitNoticeMessage(app_.NoticeMessage);
    SetWindowTextW(label_, Wide(parts.message).c_str());
    const int32_t displayMs = NoticeDisplayMs(parts.time);

    // Centred on the work area of the monitor the user works on (where the pointer is), at that
    // monitor's DPI, with the height the message needs.
    const display::MonitorArea monitor = display::MonitorUnderPointer();
    ApplyDpi(monitor.Dpi);
    const int width = display::PixelsFromTwips(kNoticeClientWidthTwips, monitor.Dpi);
    const int height = display::PixelsFromTwips(NoticeHeightTwips(parts.message), monitor.Dpi);
    const display::ScreenRect work = monitor.Work;
    const NoticeRect place = CentreIn(
        static_cast<int32_t>(work.Left), static_cast<int32_t>(work.Top),
        static_cast<int32_t>(work.Right), static_cast<int32_t>(work.Bottom), width, height);
    // Topmost, without taking the foreground.
    SetWindowPos(Hwnd(), HWND_TOPMOST, place.left, place.top, place.width, place.height,
                 SWP_NOACTIVATE);
    ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(Hwnd());

    // A time of 0 or less would leave the notice up for ever, and a modal caller waiting for
    // it: such a notice goes away at once instead.
    SetTimer(Hwnd(), kTimerId, displayMs > 0 ? static_cast<UINT>(displayMs) : USER_TIMER_MINIMUM,
             nullptr);
    return true;
}

void NoticeWindow::OnTimer() {
    // The first tick ends the notice.
    KillTimer(Hwnd(), kTimerId);
    if (ShrinkAway()) DestroyWindow(Hwnd());
}

bool NoticeWindow::ShrinkAway() {
    const unsigned generation = generation_;
    RECT r{};
    GetWindowRect(Hwnd(), &r);
    const NoticeRect start{r.left, r.top, r.right - r.left, r.bottom - r.top};
    std::optional<int> quit;
    for (int32_t step = kShrinkSteps; step >= 1; --step) {
        // Size and place in one move, so that the corner never leaves its spot; the window may
        // not take exactly the size asked for: then it is placed again by the size it took.
        const NoticeSize size = ShrinkSize(start, step);
        const NoticeRect wanted = ShrinkPlace(start, size);
        SetWindowPos(Hwnd(), nullptr, wanted.left, wanted.top, wanted.width, wanted.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(Hwnd(), &r);
        const NoticeRect placed = ShrinkPlace(start, {r.right - r.left, r.bottom - r.top});
        if (placed.left != r.left || placed.top != r.top) {
            SetWindowPos(Hwnd(), nullptr, placed.left, placed.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        Sleep(kShrinkStepSleepMs);
        // Other windows keep repainting and reacting while the notice shrinks.
        if (!quit) quit = DispatchPending();
        if (!IsOpen() || generation != generation_) break;
    }
    if (quit) PostQuitMessage(*quit);
    return IsOpen() && generation == generation_;
}

LRESULT NoticeWindow::OnCtlColorStatic(HDC dc) {
    const display::Ink& ink = palette_.get().notice;
    SetTextColor(dc, display::ToColorRef(ink.text));
    SetBkColor(dc, display::ToColorRef(ink.back));
    return reinterpret_cast<LRESULT>(palette_.Brush(ink.back));
}

LRESULT NoticeWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_ERASEBKGND:
            return FillBackground(Hwnd(), wp, palette_.Brush(palette_.get().notice.back));
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            if (palette_.Refresh()) {
                RedrawWindow(Hwnd(), nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            }
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wp));
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_DPICHANGED:
            // The notice is placed and sized for its monitor by Load, never by the system.
            return 0;
        case WM_TIMER:
            if (wp == kTimerId) OnTimer();
            return 0;
        case WM_DESTROY:
            KillTimer(Hwnd(), kTimerId);
            label_ = nullptr;
            return 0;
        default:
            break;
    }
    return Default(msg, wp, lp);
}

Notice::Notice(app::AppState& app, HINSTANCE instance)
    : app_(app), instance_(instance), window_(std::make_unique<NoticeWindow>(app, instance)) {}

Notice::~Notice() = default;

void Notice::Show(std::u16string_view message, int32_t displayMs, int32_t modal) {
    if (app_.settings.CustomMsg == 0) return;
    app_.NoticeMessage = ComposeNoticeMessage(message, displayMs);
    if (!window_->Load() || modal != 1) return;
    // Modal: back to the caller once the notice has gone, the program's windows alive meanwhile.
    MSG msg;
    while (window_->IsOpen()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: leave the quit for its main loop, which lets the notice
            // run out before the process ends.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool Notice::IsOpen() const {
    return window_->IsOpen();
}

}  // namespace quillet::dialogs
