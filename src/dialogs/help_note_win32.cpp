// frmHelp: the note (pale green in the light look) that explains the report's abbreviations. Its
// text, placement and layout come from help_rules; this file only builds and moves the window.
#include "dialogs/help_note.h"

#include <commctrl.h>

#include <string>

#include "dialogs/help_rules.h"
#include "display/dpi.h"
#include "display/monitors.h"
#include "display/system_theme.h"
#include "platform/controls.h"
#include "platform/font.h"
#include "platform/unique_handle.h"
#include "platform/wide.h"
#include "platform/window.h"
#include "resource.h"

namespace quillet::dialogs {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;
// A tool window has no task-bar button.
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;

constexpr wchar_t kCloseCaption[] = L"×";

constexpr UINT_PTR kLabelSubclass = 1;
constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2;

}  // namespace

class HelpNoteWindow : public WindowBase {
public:
    HelpNoteWindow(app::AppState& app, HINSTANCE instance) : app_(app), instance_(instance) {}
    ~HelpNoteWindow() override { DestroyNow(); }

    // Creates the note and runs its load step: topmost, laid out, placed at the pointer, text.
    bool Create();
    void Show();
    void Close() { DestroyNow(); }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    static LRESULT CALLBACK LabelProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                           DWORD_PTR self);
    void OnCreate();
    void OnLoad();
    void MakeFonts();
    void FitHeight(const std::wstring& text);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnSize(int width, int height);
    void OnLabelMouseMove(WPARAM buttons);
    LRESULT OnCtlColor(HDC dc);
    void OnAppearanceChanged();

    app::AppState& app_;
    HINSTANCE instance_;
    UniqueFont textFont_;
    UniqueFont buttonFont_;
    display::LivePalette palette_;
    HWND label_ = nullptr;  // children: destroyed with the window
    HWND close_ = nullptr;
    POINT pointer_{};               // where it opens: beside the pointer,
    display::MonitorArea monitor_;  // on the monitor under it
    int dpi_ = 96;
};

bool HelpNoteWindow::Create() {
    if (!RegisterClassOnce(instance_, QUILLET_HELP_CLASS, nullptr, nullptr, nullptr)) return false;
    GetCursorPos(&pointer_);
    monitor_ = display::MonitorAtPoint(pointer_);
    dpi_ = monitor_.Dpi;
    if (!WindowBase::Create(instance_, QUILLET_HELP_CLASS, L"", kStyle, kExStyle, 0, 0,
                            HelpClientWidth(dpi_), display::Scale(kHelpClientHeight, dpi_), nullptr,
                            nullptr)) {
        return false;
    }
    OnLoad();
    return true;
}

void HelpNoteWindow::OnCreate() {
    // No word wrap: a long search string is cut at the edge instead of pushing the last lines
    // out of the note. No prefix: an "&" in the search string is shown as it is.
    label_ =
        MakeChild(Hwnd(), instance_, L"STATIC", L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0,
                  0, 0, 0, 0, IDC_HELP_LBLHELP);
    close_ = MakeChild(Hwnd(), instance_, L"BUTTON", kCloseCaption, BS_OWNERDRAW, 0, 0, 0, 0, 0,
                       IDC_HELP_CMDCLOSE);
    // The button sits inside the label's area: above it in the z-order.
    SetWindowPos(close_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowLongPtrW(label_, GWL_STYLE, GetWindowLongPtrW(label_, GWL_STYLE) | WS_CLIPSIBLINGS);
    MakeFonts();
    SetWindowSubclass(label_, &HelpNoteWindow::LabelProcedure, kLabelSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
}

void HelpNoteWindow::MakeFonts() {
    textFont_ = MakeFont(kGothicFace, kTextSize, true, dpi_);
    buttonFont_ = MakeFont(kProportionalFace, kTextSize, false, dpi_);
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), TRUE);
    SendMessageW(close_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), TRUE);
}

void HelpNoteWindow::OnLoad() {
    SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const Settings& s = app_.settings;
    const std::wstring text = Wide(HelpText(s.SearchString, s.CustomItemEx, s.CharLimit));
    FitHeight(text);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    OnSize(client.right, client.bottom);

    RECT outer{};
    GetWindowRect(Hwnd(), &outer);
    const HelpPoint at = HelpPlacement({pointer_.x, pointer_.y}, outer.right - outer.left,
                                       outer.bottom - outer.top, monitor_.Work);
    SetWindowPos(Hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextW(label_, text.c_str());
}

void HelpNoteWindow::FitHeight(const std::wstring& text) {
    HDC dc = GetDC(label_);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, textFont_.get());
    const int width = HelpClientWidth(dpi_);
    RECT measured{0, 0, LayoutHelp(width, display::Scale(kHelpClientHeight, dpi_), dpi_).labelWidth,
                  0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(label_, dc);
    SetWindowPos(Hwnd(), nullptr, 0, 0, width,
                 HelpClientHeight(measured.bottom - measured.top, dpi_),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HelpNoteWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    // Dragged onto a monitor of another DPI: the system's rectangle, the fonts and the layout
    // for it.
    dpi_ = dpi;
    MakeFonts();
    SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    OnSize(client.right, client.bottom);
}

void HelpNoteWindow::Show() {
    // Opened by hovering the popup's icon: the application the user works in keeps the focus.
    ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
}

void HelpNoteWindow::OnSize(int width, int height) {
    if (!label_ || !close_) return;
    const HelpLayout l = LayoutHelp(width, height, dpi_);
    const HelpButtonSize close = HelpCloseSize(dpi_);
    MoveWindow(label_, l.labelLeft, l.labelTop, l.labelWidth, l.labelHeight, TRUE);
    MoveWindow(close_, l.closeLeft, l.closeTop, close.width, close.height, TRUE);
}

void HelpNoteWindow::OnLabelMouseMove(WPARAM buttons) {
    // The left button alone drags the note, as a title bar would.
    if ((buttons & kAnyButton) != MK_LBUTTON) return;
    const DWORD at = GetMessagePos();
    ReleaseCapture();
    SendMessageW(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(at));
}

LRESULT HelpNoteWindow::OnCtlColor(HDC dc) {
    const display::Ink& ink = palette_.get().help;
    SetTextColor(dc, display::ToColorRef(ink.text));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(palette_.Brush(ink.back));
}

void HelpNoteWindow::OnAppearanceChanged() {
    if (palette_.Refresh()) {
        RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

LRESULT HelpNoteWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_ERASEBKGND:
            return FillBackground(Hwnd(), wp, palette_.Brush(palette_.get().help.back));
        case WM_SIZE:
            OnSize(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnCtlColor(reinterpret_cast<HDC>(wp));
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item.CtlID != IDC_HELP_CMDCLOSE) break;
            const display::Palette& p = palette_.get();
            DrawColouredButton(item, palette_.Brush(p.helpClose.back), buttonFont_.get(),
                               display::ToColorRef(p.helpClose.text),
                               p.flatButtons ? palette_.Brush(p.buttonFrame) : nullptr);
            return TRUE;
        }
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            OnAppearanceChanged();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) == IDC_HELP_CMDCLOSE && HIWORD(wp) == BN_CLICKED) Close();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        default:
            break;
    }
    return Default(msg, wp, lp);
}

LRESULT CALLBACK HelpNoteWindow::LabelProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                UINT_PTR id, DWORD_PTR self) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &HelpNoteWindow::LabelProcedure, id);
    } else if (msg == WM_MOUSEMOVE) {
        reinterpret_cast<HelpNoteWindow*>(self)->OnLabelMouseMove(wp);
        return 0;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

HelpNote::HelpNote(app::AppState& app, HINSTANCE instance) : app_(app), instance_(instance) {}

HelpNote::~HelpNote() = default;

void HelpNote::Show(bool show) {
    if (!show) {
        if (window_) window_->Close();
        return;
    }
    // Left where it is while visible, so that repeated moves over the icon do not move it.
    if (window_ && window_->Hwnd() && IsWindowVisible(window_->Hwnd())) return;
    // Each opening is a fresh note, placed at the pointer again.
    window_ = std::make_unique<HelpNoteWindow>(app_, instance_);
    if (!window_->Create()) {
        window_.reset();
        return;
    }
    window_->Show();
}

HWND HelpNote::Hwnd() const {
    return window_ ? window_->Hwnd() : nullptr;
}

}  // namespace quillet::dialogs
