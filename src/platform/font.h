// The program's fonts: Shift-JIS faces at a point size, at the resolution of the window's monitor.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace quillet {

// The two faces every window uses.
inline constexpr wchar_t kGothicFace[] = L"ＭＳ ゴシック";          // fixed pitch
inline constexpr wchar_t kProportionalFace[] = L"ＭＳ Ｐゴシック";  // proportional

// The size of every text but the notice's: 9.75 pt.
inline constexpr int kTextSize = 975;

// `hundredthsOfPoint`: 975 is 9.75 pt, 13 pixels at 96 dpi and 20 at 144.
UniqueFont MakeFont(const wchar_t* face, int hundredthsOfPoint, bool fixedPitch, int dpi);

}  // namespace quillet
