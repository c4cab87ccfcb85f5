// The program's fonts: Shift-JIS faces at a point size, at the screen's resolution.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace quillet {

// The two faces every window uses.
inline constexpr wchar_t kGothicFace[] = L"ＭＳ ゴシック";          // fixed pitch
inline constexpr wchar_t kProportionalFace[] = L"ＭＳ Ｐゴシック";  // proportional

// `tenthsOfPoint`: 975 is 9.75 pt, 13 pixels at 96 dpi.
UniqueFont MakeFont(const wchar_t* face, int tenthsOfPoint, bool fixedPitch);

}  // namespace quillet
