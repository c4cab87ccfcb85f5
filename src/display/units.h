// Units of the screen. Positions in Conf.txt and the windows' designs are in twips (1/1440 inch)
// or in pixels of a 96-dpi screen (15 twips each); the screen's pixels depend on the DPI of the
// monitor a window is on. Portable, so that they are tested natively.
#pragma once

#include <cmath>
#include <cstdint>

namespace quillet::display {

// The resolution the designs were drawn at: one design pixel is one screen pixel there.
inline constexpr int kDesignDpi = 96;
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerDesignPixel = kTwipsPerInch / kDesignDpi;  // 15

// A resolution the system cannot tell (0 or less) is taken as the design's.
constexpr int SafeDpi(int dpi) {
    return dpi > 0 ? dpi : kDesignDpi;
}

// To the nearest pixel, halves away from zero, for negative positions (monitors left of the
// primary) as well; values beyond the pixel range are clamped rather than wrapped.
inline int32_t RoundPixels(double pixels) {
    const double rounded = std::round(pixels);
    if (std::isnan(rounded)) return 0;
    if (rounded < -1e9) return -1000000000;
    if (rounded > 1e9) return 1000000000;
    return static_cast<int32_t>(rounded);
}

// Twips to screen pixels at `dpi`: twips × dpi ÷ 1440.
inline double PixelsFromTwipsExact(double twips, int dpi) {
    return twips * SafeDpi(dpi) / kTwipsPerInch;
}
inline int32_t PixelsFromTwips(double twips, int dpi) {
    return RoundPixels(PixelsFromTwipsExact(twips, dpi));
}

// Screen pixels at `dpi` to twips: pixels × 1440 ÷ dpi.
inline double TwipsFromPixels(double pixels, int dpi) {
    return pixels * kTwipsPerInch / SafeDpi(dpi);
}

// A length of the design (96-dpi pixels) at `dpi`: pixels × dpi ÷ 96.
inline int32_t Scale(double designPixels, int dpi) {
    return RoundPixels(designPixels * SafeDpi(dpi) / kDesignDpi);
}

}  // namespace quillet::display
