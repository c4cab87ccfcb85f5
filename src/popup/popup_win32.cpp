// frmPopup: the balloon that shows a report in tray mode. Where it goes, its outline and its
// count-down come from popup_layout; this file turns them into windows, regions and a timer.
#include "popup/popup.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "app/app_info.h"
#include "app/app_text.h"
#include "display/dpi.h"
#include "display/monitors.h"
#include "display/system_theme.h"
#include "display/units.h"
#include "platform/accessible.h"
#include "platform/controls.h"
#include "platform/font.h"
#include "platform/icon.h"
#include "platform/unique_handle.h"
#include "platform/wide.h"
#include "platform/window.h"
#include "popup/popup_layout.h"
#include "resource.h"

namespace quillet::popup {

namespace {

constexpr wchar_t kCaption[] = L"文字数カウントポップアップ";
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;
// A tool window has no task-bar button.
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;

constexpr UINT_PTR kAutoCloseTimer = 1;
constexpr UINT kAutoCloseMs = 1000;

constexpr wchar_t kCloseCaption[] = L"×";
constexpr wchar_t kCloseTip[] = L"バルーンを閉じます";
constexpr wchar_t kTimeTip[] = L"クリア（クリップボード含）";

// Subclass ids of the child windows whose messages the popup needs.
constexpr UINT_PTR kTextSubclass = 1;
constexpr UINT_PTR kColumnSubclass = 2;
constexpr UINT_PTR kIconSubclass = 3;

}  // namespace

class PopupWindow : public WindowBase {
public:
    PopupWindow(app::AppState& app, HINSTANCE instance, const std::function<void(bool)>& showHelp)
        : app_(app), instance_(instance), showHelp_(showHelp) {}
    ~PopupWindow() override { DestroyNow(); }

    // Creates and loads the window, hidden, for a monitor of `dpi`.
    bool Create(int dpi);
    // Fonts, icon and the column's controls for a monitor of `dpi`; nothing when they are.
    void ApplyDpi(int dpi);
    // LayoutPopup: side, place, size, inner layout, text (restarting the count-down), outline,
    // at the DPI ApplyDpi set.
    void Layout(const Request& request, const display::ScreenRect& work, std::u16string_view text);
    // The report in red (over the limit) or in the usual colour, from the next drawing on.
    void SetOverLimit(bool over);
    // Shown on top without taking the activation from the application the user copied from.
    void Show();
    // Tells screen readers that the report box shows a new report.
    void Announce() { AnnounceLiveRegion(text_); }
    void Close() { DestroyNow(); }
    // The widest line of `text` in pixels, in the report's font.
    int WidestLine(std::u16string_view text) const;
    // The report font's line height in pixels.
    int LineHeight() const;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    static LRESULT CALLBACK ChildProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                           DWORD_PTR self);
    LRESULT ChildMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id);

    void OnCreate();
    void OnLoad();
    void ApplyShape(const Shape& shape);
    void PlaceColumn();
    void OnActivate(WPARAM wp);
    void OnCommand(int id, int code);
    void OnTimer();
    void OnTextChanged();
    void OnTextClicked();
    void SelectAllText();
    LRESULT OnCtlColor(HDC dc, HWND control);
    void OnAppearanceChanged();
    void OnDestroy();
    void ShowSeconds();
    void ShowHelp(bool show) {
        if (showHelp_) showHelp_(show);
    }

    app::AppState& app_;
    HINSTANCE instance_;
    const std::function<void(bool)>& showHelp_;
    std::optional<CountDown> countDown_;
    display::LivePalette palette_;
    UniqueFont textFont_;
    UniqueFont columnFont_;
    UniqueIcon icon_;
    // Children and the owned tooltip: destroyed with the window.
    HWND text_ = nullptr;
    HWND column_ = nullptr;
    HWND image_ = nullptr;
    HWND close_ = nullptr;
    HWND time_ = nullptr;
    HWND tips_ = nullptr;
    bool focusComesWithClick_ = false;
    bool overLimit_ = false;
    int dpi_ = 0;  // what the fonts, the icon and the column were made for
};

bool PopupWindow::Create(int dpi) {
    if (!RegisterClassOnce(instance_, QUILLET_POPUP_CLASS, nullptr, nullptr, nullptr)) {
        return false;
    }
    if (!WindowBase::Create(instance_, QUILLET_POPUP_CLASS, kCaption, kStyle, kExStyle, 0, 0,
                            display::PixelsFromTwips(kCreatedWidthTwips, dpi),
                            display::PixelsFromTwips(kCreatedHeightTwips, dpi), nullptr, nullptr)) {
        return false;
    }
    ApplyDpi(dpi);
    OnLoad();
    return true;
}

void PopupWindow::OnCreate() {
    text_ = MakeChild(Hwnd(), instance_, L"EDIT", L"",
                      ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS, 0,
                      0, 0, 0, 0, IDC_TXTDESCRIPTION);

    // The column lies over the text's top-right corner: above it in the z-order, and it takes
    // the pointer itself (SS_NOTIFY) so that moving from the icon onto it keeps the help open.
    // Layout places and sizes it; ApplyDpi places its controls inside it.
    column_ = MakeChild(Hwnd(), instance_, L"STATIC", L"", SS_NOTIFY | WS_CLIPCHILDREN, 0, 0, 0, 0,
                        0, IDC_POPUP_FR);
    SetWindowPos(column_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    image_ = MakeChild(column_, instance_, L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL | SS_NOTIFY,
                       0, 0, 0, 0, 0, IDC_POPUP_IMG);
    close_ = MakeChild(column_, instance_, L"BUTTON", kCloseCaption, BS_OWNERDRAW | WS_TABSTOP, 0,
                       0, 0, 0, 0, IDC_POPUP_CMDCLOSE);
    time_ = MakeChild(column_, instance_, L"STATIC", L"", SS_CENTER | SS_NOTIFY | SS_NOPREFIX, 0, 0,
                      0, 0, 0, IDC_POPUP_LBLTIME);

    const auto self = reinterpret_cast<DWORD_PTR>(this);
    SetWindowSubclass(text_, &PopupWindow::ChildProcedure, kTextSubclass, self);
    SetWindowSubclass(column_, &PopupWindow::ChildProcedure, kColumnSubclass, self);
    SetWindowSubclass(image_, &PopupWindow::ChildProcedure, kIconSubclass, self);
    // The popup never takes the focus: screen readers hear each report as the box's name.
    SetAccessibleName(text_);
    MarkLiveRegion(text_);

    tips_ = MakeTooltips(Hwnd(), instance_);
    AddTooltip(tips_, Hwnd(), close_, kCloseTip);
    AddTooltip(tips_, Hwnd(), time_, kTimeTip);
}

void PopupWindow::ApplyDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    textFont_ = MakeFont(kGothicFace, kTextSize, true, dpi);
    columnFont_ = MakeFont(kProportionalFace, kTextSize, false, dpi);
    SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    SendMessageW(text_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SendMessageW(close_, WM_SETFONT, reinterpret_cast<WPARAM>(columnFont_.get()), FALSE);
    SendMessageW(time_, WM_SETFONT, reinterpret_cast<WPARAM>(columnFont_.get()), FALSE);
    // The icon's own image for the size its control has at this DPI.
    UniqueIcon icon =
        LoadIconSized(instance_, IDI_INFO, display::PixelsFromTwips(kImgSizeTwips, dpi));
    SendMessageW(image_, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    icon_ = std::move(icon);  // the control no longer shows the old one
    PlaceColumn();
}

void PopupWindow::PlaceColumn() {
    auto px = [this](int32_t twips) { return display::PixelsFromTwips(twips, dpi_); };
    MoveWindow(image_, 0, px(kImgTopTwips), px(kImgSizeTwips), px(kImgSizeTwips), TRUE);
    MoveWindow(close_, 0, px(kCloseTopTwips), px(kCloseWidthTwips), px(kCloseHeightTwips), TRUE);
    MoveWindow(time_, 0, px(kTimeTopTwips), px(kTimeWidthTwips), px(kTimeHeightTwips), TRUE);
}

void PopupWindow::OnLoad() {
    SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    countDown_.emplace(app_.settings.TimeAutoClose);
    SetTimer(Hwnd(), kAutoCloseTimer, kAutoCloseMs, nullptr);
}

void PopupWindow::Layout(const Request& request, const display::ScreenRect& work,
                         std::u16string_view text) {
    const popup::Layout layout = LayoutPopup(request, work, dpi_);
    const PixelRect& window = layout.window;
    SetWindowPos(Hwnd(), nullptr, window.left, window.top, window.right - window.left,
                 window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);

    // Inside and outline follow the size the window really got.
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const InnerLayout inside =
        LayoutInside(layout.side, layout.tail, display::TwipsFromPixels(client.right, dpi_),
                     display::TwipsFromPixels(client.bottom, dpi_), dpi_);
    const PixelRect textBox = ToPixels(inside.text, dpi_);
    const PixelRect column = ToPixels(inside.fr, dpi_);
    MoveWindow(text_, textBox.left, textBox.top, textBox.right - textBox.left,
               textBox.bottom - textBox.top, TRUE);
    MoveWindow(column_, column.left, column.top, column.right - column.left,
               column.bottom - column.top, TRUE);

    SetWindowTextW(text_, Wide(text).c_str());
    // A multi-line edit control sends no change notice for a text set by program: the new text
    // restarts the count-down here, for every report, even one equal to the last.
    OnTextChanged();

    ApplyShape(BalloonShape(layout.side, layout.tail, client.right, client.bottom, dpi_));
}

int PopupWindow::LineHeight() const {
    HDC dc = GetDC(text_);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, textFont_.get());
    TEXTMETRICW metrics{};
    const int height = GetTextMetricsW(dc, &metrics) ? static_cast<int>(metrics.tmHeight) : 0;
    SelectObject(dc, old);
    ReleaseDC(text_, dc);
    return height;
}

void PopupWindow::SetOverLimit(bool over) {
    if (over == overLimit_) return;
    overLimit_ = over;
    InvalidateRect(text_, nullptr, TRUE);
}

int PopupWindow::WidestLine(std::u16string_view text) const {
    HDC dc = GetDC(text_);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, textFont_.get());
    int widest = 0;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find(u"\r\n", start);
        if (end == std::u16string_view::npos) end = text.size();
        const std::u16string_view line = text.substr(start, end - start);
        SIZE size{};
        if (!line.empty() &&
            GetTextExtentPoint32W(dc, AsWide(line.data()), static_cast<int>(line.size()), &size)) {
            widest = std::max(widest, static_cast<int>(size.cx));
        }
        start = end + 2;
    }
    SelectObject(dc, old);
    ReleaseDC(text_, dc);
    return widest;
}

void PopupWindow::ApplyShape(const Shape& shape) {
    UniqueRegion outline(CreateRectRgn(0, 0, 0, 0));
    if (!outline) return;
    const PixelRect& b = shape.body;
    UniqueRegion body(
        CreateRoundRectRgn(b.left, b.top, b.right, b.bottom, shape.ellipse, shape.ellipse));
    if (body) CombineRgn(outline.get(), outline.get(), body.get(), RGN_OR);
    if (shape.tail) {
        POINT points[3];
        for (size_t i = 0; i < 3; ++i) points[i] = {(*shape.tail)[i].x, (*shape.tail)[i].y};
        // Joined to the body, not cut out of it: the tail's base lies on the body's last row.
        UniqueRegion tail(CreatePolygonRgn(points, 3, ALTERNATE));
        if (tail) CombineRgn(outline.get(), outline.get(), tail.get(), RGN_OR);
    }
    // The window owns the region once SetWindowRgn has taken it.
    if (SetWindowRgn(Hwnd(), outline.get(), TRUE)) outline.release();
}

void PopupWindow::Show() {
    SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void PopupWindow::OnActivate(WPARAM wp) {
    // Only when the user clicks the popup: it is shown without activation.
    if (LOWORD(wp) != WA_INACTIVE && close_) SetFocus(close_);
}

void PopupWindow::OnCommand(int id, int code) {
    if (id == IDC_POPUP_CMDCLOSE && code == BN_CLICKED) {
        Close();
    } else if (id == IDC_TXTDESCRIPTION && code == EN_SETFOCUS) {
        SelectAllText();
    }
}

void PopupWindow::OnTimer() {
    if (!countDown_) return;
    switch (countDown_->OnTick()) {
        case CountDown::Tick::Stopped:
            KillTimer(Hwnd(), kAutoCloseTimer);
            break;
        case CountDown::Tick::Close:
            Close();
            break;
        case CountDown::Tick::Counting:
            ShowSeconds();
            break;
    }
}

void PopupWindow::OnTextChanged() {
    if (!countDown_) return;
    if (countDown_->TextChanged(app_.settings.TimeAutoClose)) {
        // A full second before the first tick of the new count.
        SetTimer(Hwnd(), kAutoCloseTimer, kAutoCloseMs, nullptr);
        ShowSeconds();
    }
}

void PopupWindow::OnTextClicked() {
    if (!countDown_) return;
    countDown_->TextClicked();
    ShowSeconds();
}

void PopupWindow::ShowSeconds() {
    if (time_ && countDown_) SetWindowTextW(time_, Wide(countDown_->Label()).c_str());
}

void PopupWindow::SelectAllText() {
    SendMessageW(text_, EM_SETSEL, 0, -1);
}

LRESULT PopupWindow::OnCtlColor(HDC dc, HWND control) {
    const display::Palette& p = palette_.get();
    if (control == time_) {
        SetTextColor(dc, display::ToColorRef(p.popupSeconds.text));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(palette_.Brush(p.popupSeconds.back));
    }
    const display::Ink& ink = control == text_ && overLimit_ ? p.popupOverLimit : p.popup;
    SetTextColor(dc, display::ToColorRef(ink.text));
    SetBkColor(dc, display::ToColorRef(ink.back));
    return reinterpret_cast<LRESULT>(palette_.Brush(ink.back));
}

void PopupWindow::OnAppearanceChanged() {
    if (palette_.Refresh()) {
        RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void PopupWindow::OnDestroy() {
    KillTimer(Hwnd(), kAutoCloseTimer);
    ShowHelp(false);
}

LRESULT PopupWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_ERASEBKGND:
            return FillBackground(Hwnd(), wp, palette_.Brush(palette_.get().popup.back));
        case WM_ACTIVATE:
            OnActivate(wp);
            return 0;
        case WM_MOUSEMOVE:
            ShowHelp(false);
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item.CtlID != IDC_POPUP_CMDCLOSE) break;
            const display::Palette& p = palette_.get();
            DrawColouredButton(item, palette_.Brush(p.popupClose.back), columnFont_.get(),
                               display::ToColorRef(p.popupClose.text),
                               p.flatButtons ? palette_.Brush(p.buttonFrame) : nullptr);
            return TRUE;
        }
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            OnAppearanceChanged();
            return 0;
        case WM_TIMER:
            if (wp == kAutoCloseTimer) OnTimer();
            return 0;
        case WM_DPICHANGED:
            // Placed, sized and drawn for its monitor by each layout, never by the system.
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            break;
    }
    return Default(msg, wp, lp);
}

LRESULT CALLBACK PopupWindow::ChildProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                             DWORD_PTR self) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &PopupWindow::ChildProcedure, id);
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    return reinterpret_cast<PopupWindow*>(self)->ChildMessage(hwnd, msg, wp, lp, id);
}

LRESULT PopupWindow::ChildMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id) {
    switch (id) {
        case kTextSubclass:
            switch (msg) {
                case WM_MOUSEMOVE:
                    ShowHelp(false);
                    break;
                case WM_LBUTTONDOWN:
                    focusComesWithClick_ = GetFocus() != text_;
                    break;
                case WM_LBUTTONUP: {
                    const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
                    OnTextClicked();
                    // The click placed the caret; the whole report stays selected, so that the
                    // copy key takes all of it.
                    if (std::exchange(focusComesWithClick_, false)) SelectAllText();
                    return result;
                }
                default:
                    break;
            }
            break;
        case kColumnSubclass:
            // The column's buttons report to the column: the popup handles them.
            switch (msg) {
                case WM_COMMAND:
                case WM_CTLCOLORSTATIC:
                case WM_CTLCOLORBTN:
                case WM_DRAWITEM:
                    return SendMessageW(Hwnd(), msg, wp, lp);
                default:
                    break;
            }
            break;
        case kIconSubclass:
            if (msg == WM_MOUSEMOVE) ShowHelp(true);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

Popup::Popup(app::AppState& app, HINSTANCE instance, std::function<void(bool)> showHelp)
    : app_(app), instance_(instance), showHelp_(std::move(showHelp)) {}

Popup::~Popup() = default;

void Popup::Present(const Report& report,
                    const std::function<void(const std::wstring& tag)>& setTag) {
    // On the monitor under the pointer, where the user works: its work area and its DPI.
    POINT pointer{};
    GetCursorPos(&pointer);
    const display::MonitorArea monitor = display::MonitorAtPoint(pointer);

    // A popup that has closed is loaded afresh: nothing of the last one survives.
    if (!window_ || !window_->Hwnd()) {
        window_ = std::make_unique<PopupWindow>(app_, instance_, showHelp_);
        if (!window_->Create(monitor.Dpi)) window_.reset();
    }

    if (window_) {
        window_->ApplyDpi(monitor.Dpi);
        Request request = PopupRequest(app_.settings.DispPos, report.ReportWidth,
                                       {pointer.x, pointer.y}, monitor.Work, monitor.Dpi,
                                       report.HasFigureLine ? window_->LineHeight() : 0);
        request.width = FitTextWidth(request.width, window_->WidestLine(report.Text), monitor.Dpi);
        window_->SetOverLimit(report.OverLimit);
        window_->Layout(request, monitor.Work, report.Text);
    }

    if (setTag) {
        setTag(Wide(app::TrayTipText(U16(app::AppTitle()), report.Text, report.OverLimit)));
    }
    if (!window_) return;

    const HWND previous = GetForegroundWindow();  // the application the user copied from
    window_->Show();
    window_->Announce();
    // The popup never takes the activation; this only puts back a foreground that something
    // else took meanwhile.
    if (previous && previous != window_->Hwnd() && GetForegroundWindow() != previous) {
        SetForegroundWindow(previous);
    }
}

void Popup::Close() {
    if (window_) window_->Close();
}

HWND Popup::Hwnd() const {
    return window_ ? window_->Hwnd() : nullptr;
}

}  // namespace quillet::popup
