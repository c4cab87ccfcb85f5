// A drawing piece the popup and the help note share: their flat "×" buttons.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace quillet::popup {

// An owner-drawn push button on a coloured background: raised, sunken while pressed, its caption
// centred.
void DrawColouredButton(const DRAWITEMSTRUCT& item, HBRUSH background, HFONT font);

}  // namespace quillet::popup
