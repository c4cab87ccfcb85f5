#include "dialogs/setting_dialog.h"

#include <commctrl.h>
#include <imm.h>

#include <cmath>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "app/app_info.h"
#include "app/app_text.h"
#include "autostart/autostart.h"
#include "counting/report.h"
#include "dialogs/setting_rules.h"
#include "display/dpi.h"
#include "display/monitors.h"
#include "display/units.h"
#include "platform/accessible.h"
#include "platform/controls.h"
#include "platform/font.h"
#include "platform/unique_handle.h"
#include "platform/wide.h"
#include "platform/window.h"
#include "resource.h"

namespace quillet::dialogs {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// Without an owner the dialog has its own task-bar button; topmost like the main window.
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

// The client area it is created with, in twips; loading sets the outer height at once.
constexpr int32_t kClientHeight = 5325;

// The widest tooltip, in twips.
constexpr int32_t kTipWidth = 6000;

// A rectangle in twips, relative to the client area.
struct TwipRect {
    int32_t Left, Top, Width, Height;
};
struct Origin {
    int32_t Left, Top;
};
constexpr TwipRect At(Origin o, int32_t left, int32_t top, int32_t width, int32_t height) {
    return {o.Left + left, o.Top + top, width, height};
}

// The containers without a look of their own only move what they hold.
constexpr Origin kClient{0, 0};
constexpr Origin kFrStr{270, 390};
constexpr Origin kFrSearch{kFrStr.Left + 60, kFrStr.Top + 60};
constexpr Origin kFrCustom{kFrStr.Left + 60, kFrStr.Top + 1050};
constexpr Origin kFrPos{330, 3570};
// The button row's top follows the client height (OnSize).
constexpr Origin kFrClose{840, 0};
// 字数制限 stands right of 表示項目のカスタマイズ, its top level with that frame's. The client
// area is wider by the frame and its gap, with the right margin it had, so nothing that was
// there moved.
constexpr int32_t kFrCustomRight = kFrCustom.Left + 2745;
constexpr Origin kFrLimit{kFrCustomRight + 120, kFrCustom.Top};
constexpr int32_t kFrLimitWidth = 1380;
constexpr int32_t kClientWidth = kFrLimit.Left + kFrLimitWidth + 240;

enum class Face { Caption, Field };

struct ControlSpec {
    int Id;
    const wchar_t* Class;
    DWORD Style;
    DWORD ExStyle;
    TwipRect Rect;
    const wchar_t* Text;
    const wchar_t* Tip;
    Face Font;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kTabStop = kChild | WS_TABSTOP;
constexpr DWORD kCombo = kTabStop | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;

// In creation order, which is also the keyboard's order through the controls. The tick boxes
// are 225 twips high, centred where the first design's 180 were: 180 is less than the line of
// their 9.75-point caption, which Windows would clip. lblTimeAutoClose reaches 60 twips further
// left than first drawn, its right edge where it was: six full-width characters need 1170 twips
// and more once the font's pixel height is rounded up (120 pixels at 144 dpi against 119).
constexpr ControlSpec kControls[] = {
    {IDC_CHKTASKTRAY, L"BUTTON", kTabStop | BS_AUTOCHECKBOX, 0, At(kClient, 120, 68, 1665, 225),
     L"タスクトレイ収納", L"開始時にタスクトレイに収納します", Face::Caption},
    // Its state is the registry's Run entry, not a setting; its tooltip depends on that entry.
    // Centred on chkTaskTray's row, tall enough for the caption's whole line.
    {IDC_CHKAUTOSTART, L"BUTTON", kTabStop | BS_AUTOCHECKBOX, 0, At(kClient, 1965, 60, 1110, 240),
     L"自動起動", nullptr, Face::Caption},
    {IDC_FRSEARCH, L"BUTTON", kChild | BS_GROUPBOX, 0, At(kFrStr, 60, 60, 2745, 915),
     L"指定文字検索", nullptr, Face::Caption},
    {IDC_LBLSEARCHSTR, L"STATIC", kChild | SS_RIGHT, 0, At(kFrSearch, 510, 300, 705, 225),
     L"文字列", nullptr, Face::Caption},
    {IDC_TXTSEARCHSTR, L"EDIT", kTabStop | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     At(kFrSearch, 1260, 270, 1275, 270), L"", L"カウントしたい文字列を入力", Face::Field},
    {IDC_CHKFUZZY, L"BUTTON", kTabStop | BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_RIGHT, 0,
     At(kFrSearch, 1080, 578, 1455, 225), L"あいまい検索", L"曖昧検索：大小文字/全半角の区別無し",
     Face::Caption},
    {IDC_FRCUSTOM, L"BUTTON", kChild | BS_GROUPBOX, 0, At(kFrStr, 60, 1050, 2745, 1935),
     L"表示項目のカスタマイズ", nullptr, Face::Caption},
    {IDC_LSTCUSTOM, WC_LISTVIEWW,
     kTabStop | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_NOSORTHEADER,
     WS_EX_CLIENTEDGE, At(kFrCustom, 180, 240, 2355, 1410), L"", L"カウントする項目", Face::Field},
    {IDC_CHKDISPMSG, L"BUTTON", kTabStop | BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_RIGHT, 0,
     At(kFrCustom, 1020, 1658, 1515, 225), L"開始終了MSG", L"オフ：MSGを表示しません",
     Face::Caption},
    // After chkDispMsg in the keyboard's order, as it is the next thing to the right.
    {IDC_FRLIMIT, L"BUTTON", kChild | BS_GROUPBOX, 0, At(kFrLimit, 0, 0, kFrLimitWidth, 1035),
     L"字数制限", nullptr, Face::Caption},
    {IDC_TXTCHARLIMIT, L"EDIT", kTabStop | ES_NUMBER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     At(kFrLimit, 180, 270, 900, 270), L"",
     L"字数がこの数を超えると、結果を赤で表示します。0 または空欄で制限なし", Face::Field},
    {IDC_LBLLIMIT, L"STATIC", kChild | SS_LEFT | SS_NOPREFIX, 0,
     At(kFrLimit, 180, 630, kFrLimitWidth - 240, 225), L"0で制限なし", nullptr, Face::Caption},
    {IDC_FRPOS, L"BUTTON", kChild | BS_GROUPBOX, 0, At(kClient, 330, 3570, 2745, 1035),
     L"ポップアップウィンドウ", nullptr, Face::Caption},
    {IDC_LBLTIMEAUTOCLOSE, L"STATIC", kChild | SS_RIGHT, 0, At(kFrPos, 120, 300, 1245, 225),
     L"自動消去時間", nullptr, Face::Caption},
    {IDC_CMBTIMEAUTOCLOSE, L"COMBOBOX", kCombo, 0, At(kFrPos, 1380, 240, 1185, 315), L"",
     L"自動消去時間（秒）", Face::Field},
    {IDC_LABEL1, L"STATIC", kChild | SS_RIGHT, 0, At(kFrPos, 240, 630, 1125, 225), L"表示位置",
     nullptr, Face::Caption},
    {IDC_CMBDISPPOS, L"COMBOBOX", kCombo, 0, At(kFrPos, 1380, 570, 1185, 315), L"", L"表示位置",
     Face::Field},
    {IDC_CMDCLOSE0, L"BUTTON", kTabStop | BS_PUSHBUTTON, 0, At(kFrClose, 240, 0, 945, 300), L"再開",
     nullptr, Face::Caption},
    {IDC_CMDCLOSE1, L"BUTTON", kTabStop | BS_PUSHBUTTON, 0, At(kFrClose, 1200, 0, 825, 300),
     L"終了", nullptr, Face::Caption},
};

// What frPos holds: shown and hidden with it.
constexpr int kPopupFrameIds[] = {IDC_FRPOS, IDC_LBLTIMEAUTOCLOSE, IDC_CMBTIMEAUTOCLOSE, IDC_LABEL1,
                                  IDC_CMBDISPPOS};
constexpr int kCloseButtonIds[] = {IDC_CMDCLOSE0, IDC_CMDCLOSE1};

// The fields whose accessible name is the caption of the label or frame beside them: a frame is
// no label to a screen reader, and a label is found only by some.
struct NamedBy {
    int Field, Label;
};
constexpr NamedBy kFieldNames[] = {{IDC_TXTSEARCHSTR, IDC_LBLSEARCHSTR},
                                   {IDC_LSTCUSTOM, IDC_FRCUSTOM},
                                   {IDC_TXTCHARLIMIT, IDC_FRLIMIT},
                                   {IDC_CMBTIMEAUTOCLOSE, IDC_LBLTIMEAUTOCLOSE},
                                   {IDC_CMBDISPPOS, IDC_LABEL1}};

constexpr const wchar_t* CaptionOf(int id) {
    for (const ControlSpec& c : kControls) {
        if (c.Id == id) return c.Text;
    }
    return L"";
}

constexpr UINT_PTR kNoTypingSubclassId = 1;

// The edit field of a combo box: its value changes only by a pick from the list, so keys,
// characters, pasting, undo, the wheel and the edit menu never reach it. Tab still moves on,
// because the wait loop's dialog handling takes it first; Alt+F4 still closes.
LRESULT CALLBACK NoTypingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR) {
    switch (msg) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_DEADCHAR:
        case WM_IME_CHAR:
        case WM_IME_COMPOSITION:
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO:
        case EM_UNDO:
        case WM_MOUSEWHEEL:
        case WM_CONTEXTMENU:
            return 0;
        case WM_SYSKEYDOWN:
            // Alt+Up and Alt+Down would open the list for a pick by keyboard.
            if (wp == VK_UP || wp == VK_DOWN) return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &NoTypingProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// The closed box as tall as the layout says, whatever the font makes of it. Systems differ in
// what the field height they report includes, so the request is corrected by what it gave.
void FitComboHeight(HWND combo, int height) {
    LRESULT request = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int tries = 0; tries < 3 && request > 0; ++tries) {
        RECT r{};
        GetWindowRect(combo, &r);
        if (r.bottom - r.top == height) return;
        request += height - (r.bottom - r.top);
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), request);
    }
}

HWND ComboEdit(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo, &info) ? info.hwndItem : nullptr;
}

}  // namespace

class SettingWindow : public WindowBase {
public:
    SettingWindow(app::AppState& app, HINSTANCE instance, const std::function<void()>& onUnload)
        : app_(app), instance_(instance), onUnload_(onUnload) {}
    ~SettingWindow() override { DestroyNow(); }

    // The load sequence; false when the window could not be made.
    bool Load();

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCreate();
    void OnCommand(int id, int code);
    void OnActivate(bool active);
    void OnSize(int clientHeight);
    void OnDestroy();
    void OnDpiChanged(int dpi, const RECT& suggested);
    // Fonts for dpi_, and every control at its place in pixels of dpi_.
    void MakeFonts();
    void PlaceControls();

    void RunLayout();
    void SetOuterHeight(int32_t twips);
    void ApplyAndUnload(CloseButton button);
    void FillCombo(int id, std::span<const std::u16string_view> items, std::u16string_view text);
    void FillList(const ItemTicks& items, const FigureTicks& figures);
    bool RowTicked(int row) const;

    HWND Item(int id) const { return GetDlgItem(Hwnd(), id); }
    bool Ticked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SetTicked(int id, bool ticked) {
        SendMessageW(Item(id), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    std::u16string Text(int id) const;
    int Px(int32_t twips) const { return display::PixelsFromTwips(twips, dpi_); }

    app::AppState& app_;
    HINSTANCE instance_;
    const std::function<void()>& onUnload_;
    Settings loaded_;  // what the controls were filled from
    bool autoStartLoaded_ = false;
    UniqueFont captionFont_;
    UniqueFont fieldFont_;
    HWND tips_ = nullptr;  // owned by the dialog: destroyed with it
    HWND lastFocus_ = nullptr;
    // Opened on the monitor under the pointer, at its DPI; the DPI changes when it is dragged
    // onto a monitor of another.
    display::MonitorArea monitor_;
    int dpi_ = 96;
};

bool SettingWindow::Load() {
    monitor_ = display::MonitorUnderPointer();
    dpi_ = monitor_.Dpi;
    // Shared icons belong to the system: nothing to release.
    auto icon = [this](int cx, int cy) {
        return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                             display::SystemMetric(cx, dpi_),
                                             display::SystemMetric(cy, dpi_), LR_SHARED));
    };
    HICON big = icon(SM_CXICON, SM_CYICON);
    HICON small = icon(SM_CXSMICON, SM_CYSMICON);
    if (!RegisterClassOnce(instance_, QUILLET_SETTING_CLASS, big, small, nullptr)) return false;
    const RECT outer = display::OuterRect({0, 0, Px(kClientWidth), Px(kClientHeight)}, kStyle,
                                          false, kExStyle, dpi_);
    if (!Create(instance_, QUILLET_SETTING_CLASS, L"", kStyle, kExStyle,
                static_cast<int>(monitor_.Work.Left), static_cast<int>(monitor_.Work.Top),
                outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr)) {
        return false;
    }

    // The task-bar button and the title bar show the program icon.
    SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    loaded_ = app_.settings;
    const Settings& s = loaded_;
    SetWindowTextW(Hwnd(), app::AppTitle().c_str());
    app::SetTopMost(Hwnd());
    SetTicked(IDC_CHKTASKTRAY, TaskTrayTicked(s.TaskTray));
    RunLayout();
    SetWindowTextW(Item(IDC_TXTSEARCHSTR), Wide(s.SearchString).c_str());
    FillCombo(IDC_CMBDISPPOS, kDispPosItems, s.DispPos);
    FillCombo(IDC_CMBTIMEAUTOCLOSE, kSecondsItems, FormatSeconds(s.TimeAutoClose));
    SetTicked(IDC_CHKFUZZY, FlagTicked(s.SearchFuzzy));
    FillList(CustomItemTicks(s.CustomItem), CustomItemExTicks(s.CustomItemEx));
    SetTicked(IDC_CHKDISPMSG, FlagTicked(s.CustomMsg));
    SetWindowTextW(Item(IDC_TXTCHARLIMIT), Wide(FormatCharLimit(s.CharLimit)).c_str());
    const autostart::Judged entry = autostart::LookNow();
    autoStartLoaded_ = autostart::BoxTicked(entry);
    SetTicked(IDC_CHKAUTOSTART, autoStartLoaded_);
    AddTooltip(tips_, Hwnd(), Item(IDC_CHKAUTOSTART), Wide(autostart::BoxTooltip(entry)).c_str());
    SetOuterHeight(kShortHeight);
    // Focus rectangles only once the keyboard is used: a 12-pixel check box's would cross its
    // caption.
    SendMessageW(Hwnd(), WM_CHANGEUISTATE,
                 MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);

    // Centred on the work area of the monitor under the pointer at the short height; a taller
    // layout then grows downwards, and moves up where it would cross the work area's bottom.
    RECT frame{};
    GetWindowRect(Hwnd(), &frame);
    const display::ScreenRect centred =
        display::CentreIn(monitor_.Work, frame.right - frame.left, frame.bottom - frame.top);
    SetWindowPos(Hwnd(), nullptr, static_cast<int>(centred.Left), static_cast<int>(centred.Top), 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Activation runs the layout again, but Windows may refuse the dialog the foreground: the
    // height must be right without it.
    RunLayout();
    return true;
}

void SettingWindow::OnCreate() {
    tips_ = MakeTooltips(Hwnd(), instance_);
    // Wide enough for a path in 自動起動's tooltip; set, a tip breaks at its own line breaks.
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, Px(kTipWidth));

    for (const ControlSpec& c : kControls) {
        HWND control =
            MakeChild(Hwnd(), instance_, c.Class, c.Text, c.Style, c.ExStyle, 0, 0, 0, 0, c.Id);
        if (!control) continue;
        AddTooltip(tips_, Hwnd(), control, c.Tip);
        if (std::wstring_view(c.Class) == L"COMBOBOX") {
            if (HWND edit = ComboEdit(control)) {
                SetWindowSubclass(edit, &NoTypingProc, kNoTypingSubclassId, 0);
                // No input method either: what it composes would be typing.
                ImmAssociateContextEx(edit, nullptr, 0);
                AddTooltip(tips_, Hwnd(), edit, c.Tip);
            }
        }
    }
    // Digits only from the keyboard, and no input method, whose full-width digits the field
    // would refuse one by one.
    HWND limit = Item(IDC_TXTCHARLIMIT);
    SendMessageW(limit, EM_SETLIMITTEXT, kCharLimitDigits, 0);
    ImmAssociateContextEx(limit, nullptr, 0);
    ListView_SetExtendedListViewStyle(Item(IDC_LSTCUSTOM),
                                      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(Item(IDC_LSTCUSTOM), 0, &column);
    for (const NamedBy& n : kFieldNames) {
        HWND field = Item(n.Field);
        SetAccessibleName(field, CaptionOf(n.Label));
        // A combo box's edit field holds the focus: it answers with the same name.
        if (HWND edit = ComboEdit(field)) SetAccessibleName(edit, CaptionOf(n.Label));
    }
    MakeFonts();
    PlaceControls();
}

void SettingWindow::MakeFonts() {
    captionFont_ = MakeFont(kProportionalFace, kTextSize, false, dpi_);
    fieldFont_ = MakeFont(kGothicFace, kTextSize, true, dpi_);
    for (const ControlSpec& c : kControls) {
        HFONT font = c.Font == Face::Caption ? captionFont_.get() : fieldFont_.get();
        SendMessageW(Item(c.Id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

void SettingWindow::PlaceControls() {
    for (const ControlSpec& c : kControls) {
        HWND control = Item(c.Id);
        const bool combo = std::wstring_view(c.Class) == L"COMBOBOX";
        // A combo box's height includes its drop-down list: room for every item.
        const int height = combo ? Px(c.Rect.Height) * 8 : Px(c.Rect.Height);
        SetWindowPos(control, nullptr, Px(c.Rect.Left), Px(c.Rect.Top), Px(c.Rect.Width), height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (combo) FitComboHeight(control, Px(c.Rect.Height));
    }
    HWND list = Item(IDC_LSTCUSTOM);
    RECT client{};
    GetClientRect(list, &client);
    ListView_SetColumnWidth(list, 0,
                            client.right - client.left - display::SystemMetric(SM_CXVSCROLL, dpi_));
    // The button row follows the client height.
    GetClientRect(Hwnd(), &client);
    OnSize(client.bottom);
}

void SettingWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    // Dragged onto a monitor of another DPI: the system's rectangle, then fonts, controls and
    // the outer height (in twips, so the same in inches) for the new DPI.
    dpi_ = dpi;
    SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    MakeFonts();
    PlaceControls();
    RunLayout();
}

void SettingWindow::FillCombo(int id, std::span<const std::u16string_view> items,
                              std::u16string_view text) {
    HWND combo = Item(id);
    for (std::u16string_view item : items) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
    SendMessageW(combo, CB_SETMINVISIBLE, items.size(), 0);
    // The stored text as it is, in the list or not; a matching item is marked in the list.
    const std::wstring shown = Wide(text);
    const LRESULT match = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(shown.c_str()));
    SendMessageW(combo, CB_SETCURSEL, match, 0);
    SetWindowTextW(combo, shown.c_str());
}

void SettingWindow::FillList(const ItemTicks& items, const FigureTicks& figures) {
    HWND list = Item(IDC_LSTCUSTOM);
    ListView_DeleteAllItems(list);
    // The seven items, then the figures of the fourth line.
    auto add = [list](int row, std::u16string_view caption, bool ticked) {
        std::wstring text = Wide(caption);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = text.data();
        ListView_InsertItem(list, &item);
        ListView_SetCheckState(list, row, ticked);
    };
    for (int i = 0; i < kItemCount; ++i) add(i, kReportItems[i], items[i]);
    for (int i = 0; i < kFigureCount; ++i) add(kItemCount + i, kFigureItems[i], figures[i]);
    // No item is current afterwards.
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
}

bool SettingWindow::RowTicked(int row) const {
    return ListView_GetCheckState(Item(IDC_LSTCUSTOM), row) != FALSE;
}

std::u16string SettingWindow::Text(int id) const {
    HWND control = Item(id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return U16(text);
}

void SettingWindow::RunLayout() {
    const DialogLayout layout = LayoutFor(Ticked(IDC_CHKTASKTRAY), app_.trayResult);
    ShowWindow(Item(IDC_CMDCLOSE1), layout.EndVisible ? SW_SHOWNA : SW_HIDE);
    SetOuterHeight(layout.OuterHeight);
    for (int id : kPopupFrameIds) {
        ShowWindow(Item(id), layout.PopupFrameVisible ? SW_SHOWNA : SW_HIDE);
    }
}

void SettingWindow::SetOuterHeight(int32_t twips) {
    RECT frame{};
    GetWindowRect(Hwnd(), &frame);
    // The top edge stays; the resize rule follows from WM_SIZE.
    const RECT width =
        display::OuterRect({0, 0, Px(kClientWidth), 0}, kStyle, false, kExStyle, dpi_);
    SetWindowPos(Hwnd(), nullptr, 0, 0, width.right - width.left, Px(twips),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Grown downwards near the bottom of the work area, it moves up into it.
    GetWindowRect(Hwnd(), &frame);
    const display::ScreenRect inside = display::MoveInside(
        {frame.left, frame.top, frame.right, frame.bottom}, display::MonitorOfWindow(Hwnd()).Work);
    if (inside.Top != frame.top || inside.Left != frame.left) {
        SetWindowPos(Hwnd(), nullptr, static_cast<int>(inside.Left), static_cast<int>(inside.Top),
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SettingWindow::OnSize(int clientHeight) {
    const int32_t top = CloseRowTop(
        static_cast<int32_t>(std::lround(display::TwipsFromPixels(clientHeight, dpi_))));
    for (const ControlSpec& c : kControls) {
        for (int id : kCloseButtonIds) {
            if (c.Id != id) continue;
            // Drawn afresh: copied pixels would land where the growing dialog erases next.
            SetWindowPos(Item(id), nullptr, Px(c.Rect.Left), Px(top), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
        }
    }
}

void SettingWindow::ApplyAndUnload(CloseButton button) {
    ControlValues shown;
    shown.TaskTray = Ticked(IDC_CHKTASKTRAY);
    shown.SearchString = Text(IDC_TXTSEARCHSTR);
    shown.SearchFuzzy = Ticked(IDC_CHKFUZZY);
    for (int i = 0; i < kItemCount; ++i) shown.Items[i] = RowTicked(i);
    for (int i = 0; i < kFigureCount; ++i) shown.Figures[i] = RowTicked(kItemCount + i);
    shown.CustomMsg = Ticked(IDC_CHKDISPMSG);
    shown.TimeAutoClose = Text(IDC_CMBTIMEAUTOCLOSE);
    shown.DispPos = Text(IDC_CMBDISPPOS);
    shown.CharLimit = Text(IDC_TXTCHARLIMIT);
    app_.trayResult = Apply(shown, loaded_, button, app_.settings);
    autostart::ApplyBox(autoStartLoaded_, Ticked(IDC_CHKAUTOSTART));
    DestroyWindow(Hwnd());
}

void SettingWindow::OnCommand(int id, int code) {
    switch (id) {
        case IDC_CHKTASKTRAY:
            if (code == BN_CLICKED) RunLayout();
            break;
        case IDC_CMDCLOSE0:
            if (code == BN_CLICKED) ApplyAndUnload(CloseButton::Resume);
            break;
        case IDC_CMDCLOSE1:
            if (code == BN_CLICKED) ApplyAndUnload(CloseButton::End);
            break;
        case IDOK: {
            // Enter: neither button is the default, but a button that has the focus is pressed.
            HWND focus = GetFocus();
            if (focus == Item(IDC_CMDCLOSE0))
                ApplyAndUnload(CloseButton::Resume);
            else if (focus == Item(IDC_CMDCLOSE1))
                ApplyAndUnload(CloseButton::End);
            break;
        }
        default:
            // IDCANCEL (Esc) does nothing.
            break;
    }
}

void SettingWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(Hwnd(), focus)) lastFocus_ = focus;
        return;
    }
    // Nothing the layout depends on changes while another window is active, so running it at
    // every activation is the same as running it only when one of the program's own windows
    // handed over.
    RunLayout();
    HWND focus = lastFocus_ && IsWindowVisible(lastFocus_) ? lastFocus_ : Item(IDC_CHKTASKTRAY);
    SetFocus(focus);
}

void SettingWindow::OnDestroy() {
    if (onUnload_) onUnload_();
}

LRESULT SettingWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wp) != WA_INACTIVE);
            return 0;
        case WM_SIZE:
            OnSize(HIWORD(lp));
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_CLOSE:
            // The close box, the system menu and Alt+F4 resume, as "再開" does.
            ApplyAndUnload(CloseButton::Resume);
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            break;
    }
    return Default(msg, wp, lp);
}

SettingDialog::SettingDialog(app::AppState& app, HINSTANCE instance, std::function<void()> onUnload)
    : app_(app), instance_(instance), onUnload_(std::move(onUnload)) {}

SettingDialog::~SettingDialog() = default;

void SettingDialog::Open() {
    if (HWND open = Hwnd()) {
        SetForegroundWindow(open);
        return;
    }
    // Loaded anew at every opening: nothing of the last one survives but the settings.
    window_.reset();
    window_ = std::make_unique<SettingWindow>(app_, instance_, onUnload_);
    if (!window_->Load()) {
        window_.reset();
        return;
    }
    ShowWindow(window_->Hwnd(), SW_SHOW);
    SetForegroundWindow(window_->Hwnd());
}

void SettingDialog::Close() {
    // No apply step: the settings and the last result stay as they are.
    if (HWND open = Hwnd()) DestroyWindow(open);
}

HWND SettingDialog::Hwnd() const {
    return window_ ? window_->Hwnd() : nullptr;
}

}  // namespace quillet::dialogs
