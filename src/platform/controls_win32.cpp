#include "platform/controls.h"

#include <commctrl.h>

#include <iterator>

namespace quillet {

HWND MakeChild(HWND parent, HINSTANCE instance, const wchar_t* cls, const wchar_t* text,
               DWORD style, DWORD exStyle, int x, int y, int width, int height, int id) {
    return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                           nullptr);
}

HWND MakeTooltips(HWND owner, HINSTANCE instance) {
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

void AddTooltip(HWND tips, HWND owner, HWND tool, const wchar_t* text) {
    if (!tips || !text) return;
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

LRESULT FillBackground(HWND hwnd, WPARAM dc, HBRUSH brush) {
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(reinterpret_cast<HDC>(dc), &client, brush);
    return 1;
}

void DrawColouredButton(const DRAWITEMSTRUCT& item, HBRUSH background, HFONT font, COLORREF text,
                        HBRUSH flatFrame) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, background);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (flatFrame) {
        FrameRect(dc, &r, flatFrame);
    } else {
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    wchar_t caption[16] = {};
    GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
    RECT place = r;
    if (pressed) OffsetRect(&place, 1, 1);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, text);
    HGDIOBJ oldFont = SelectObject(dc, font);
    DrawTextW(dc, caption, -1, &place, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(dc, &r);
    }
}

}  // namespace quillet
