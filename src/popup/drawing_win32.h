// Small drawing pieces the popup and the help note share: their fonts and their flat "×" buttons.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace quillet::popup {

// A Shift-JIS font of `tenthsOfPoint` at the screen's resolution (975: 9.75 pt, 13 pixels at
// 96 dpi).
UniqueFont MakeFont(const wchar_t* face, int tenthsOfPoint, bool fixedPitch);

// An owner-drawn push button on a coloured background: raised, sunken while pressed, its caption
// centred.
void DrawColouredButton(const DRAWITEMSTRUCT& item, HBRUSH background, HFONT font);

}  // namespace quillet::popup
