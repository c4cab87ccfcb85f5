#include "popup/drawing_win32.h"

#include <string>

namespace quillet::popup {

void DrawColouredButton(const DRAWITEMSTRUCT& item, HBRUSH background, HFONT font) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, background);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    wchar_t caption[16] = {};
    GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
    RECT text = r;
    if (pressed) OffsetRect(&text, 1, 1);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldFont = SelectObject(dc, font);
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(dc, &r);
    }
}

}  // namespace quillet::popup
