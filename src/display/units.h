// Units of the screen: twips (1/1440 inch) and pixels. Portable, so that they are tested natively.
#pragma once

#include <cmath>
#include <cstdint>

namespace quillet::display {

// Twips per pixel for a screen resolution, rounded (15 at 96 dpi). A resolution the system
// cannot tell (0 or less) is taken as 96 dpi rather than dividing by it.
constexpr int32_t TwipsPerPixel(int dotsPerInch) {
    if (dotsPerInch <= 0) return 15;
    const int32_t tpp = (1440 + dotsPerInch / 2) / dotsPerInch;
    return tpp < 1 ? 1 : tpp;
}

// Twips to pixels, to the nearest pixel, for negative positions (screens left of the primary)
// as well; values beyond the pixel range are clamped rather than wrapped.
inline int32_t TwipsToPixels(double twips, int32_t twipsPerPixel) {
    if (twipsPerPixel <= 0) twipsPerPixel = 15;
    const double pixels = std::round(twips / twipsPerPixel);
    if (std::isnan(pixels)) return 0;
    if (pixels < -1e9) return -1000000000;
    if (pixels > 1e9) return 1000000000;
    return static_cast<int32_t>(pixels);
}

}  // namespace quillet::display
