#include "settings/settings.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace quillet {

std::optional<int32_t> RoundHalfEven(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    // Explicit rather than std::nearbyint: a foreign DLL may change the rounding mode. Worked on
    // the magnitude, where magnitude - floor(magnitude) is exact.
    const double magnitude = std::fabs(value);
    const double below = std::floor(magnitude);
    const double fraction = magnitude - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) rounded += 1.0;
    if (value < 0) rounded = -rounded;
    if (rounded < std::numeric_limits<int32_t>::min() ||
        rounded > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(rounded);
}

namespace {

// Half the free space in twips. The difference is taken in 64 bits so that no pair of 32-bit
// sizes overflows it; only the extreme (INT32_MAX - INT32_MIN) / 2 rounds beyond the range.
int32_t CentredOffset(int32_t screen, int32_t window) {
    const double half = static_cast<double>(static_cast<int64_t>(screen) - window) / 2.0;
    return RoundHalfEven(half).value_or(std::numeric_limits<int32_t>::max());
}

}  // namespace

Settings ConfDefault(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth,
                     int32_t windowHeight) {
    Settings s;
    s.FormLeft = CentredOffset(screenWidth, windowWidth);
    s.FormTop = CentredOffset(screenHeight, windowHeight);
    s.FormWidth = windowWidth;
    s.FormHeight = windowHeight;
    return s;
}

}  // namespace quillet
