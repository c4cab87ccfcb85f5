#include "platform/font.h"

namespace quillet {

UniqueFont MakeFont(const wchar_t* face, int tenthsOfPoint, bool fixedPitch) {
    HDC screen = GetDC(nullptr);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const DWORD pitch = fixedPitch ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
    return UniqueFont(CreateFontW(-MulDiv(tenthsOfPoint, dpiY, 720 * 10), 0, 0, 0, FW_NORMAL, FALSE,
                                  FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch, face));
}

}  // namespace quillet
