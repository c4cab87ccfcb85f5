#include "platform/font.h"

namespace quillet {

UniqueFont MakeFont(const wchar_t* face, int hundredthsOfPoint, bool fixedPitch, int dpi) {
    const DWORD pitch = fixedPitch ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
    return UniqueFont(CreateFontW(-MulDiv(hundredthsOfPoint, dpi > 0 ? dpi : 96, 7200), 0, 0, 0,
                                  FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch,
                                  face));
}

}  // namespace quillet
