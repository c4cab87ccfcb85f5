// The user's settings and their defaults.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillet {

// Positions and sizes are in twips (1/1440 inch; 15 twips per pixel at 96 dpi).
struct Settings {
    int32_t FormLeft = 0;
    int32_t FormTop = 0;
    int32_t FormWidth = 0;
    int32_t FormHeight = 0;
    int32_t TaskTray = 0;       // only the exact value 1 selects tray mode
    int32_t TimeAutoClose = 5;  // seconds
    std::u16string DispPos = u"右下隅";
    std::u16string SearchString;
    int32_t SearchFuzzy = 0;  // non-zero: loose search
    std::u16string CustomItem = u"1111111";
    int32_t CustomMsg = 1;  // 0: no start or end notice
    // The figures of the report's fourth line, "1" to show: 原稿用紙, UTF-8 bytes, X's count.
    std::u16string CustomItemEx = u"000";
    int32_t CharLimit = 0;  // 字数制限; 0: none

    friend bool operator==(const Settings&, const Settings&) = default;
};

// Rounds to the nearest integer, halves to the even neighbour (4000.5 -> 4000, 4001.5 -> 4002),
// whatever the floating-point rounding mode. Empty when the result does not fit in 32 bits or
// the value is not finite.
std::optional<int32_t> RoundHalfEven(double value);

// Every setting at its default, with the window of the given outer size centred on the screen.
// All four arguments in twips.
Settings ConfDefault(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth,
                     int32_t windowHeight);

}  // namespace quillet
