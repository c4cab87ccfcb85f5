// Defaults and the rounding that the settings use everywhere.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "settings/settings.h"

namespace {

using quillet::ConfDefault;
using quillet::RoundHalfEven;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(ConfDefault, CentresTheWindowAndSetsTheTableDefaults) {
    // 1024 x 768 pixels at 15 twips per pixel, the window 4000 x 1500 twips.
    const auto s = ConfDefault(15360, 11520, 4000, 1500);
    EXPECT_EQ(s.FormLeft, 5680);
    EXPECT_EQ(s.FormTop, 5010);
    EXPECT_EQ(s.FormWidth, 4000);
    EXPECT_EQ(s.FormHeight, 1500);
    EXPECT_EQ(s.TaskTray, 0);
    EXPECT_EQ(s.TimeAutoClose, 5);
    EXPECT_EQ(s.DispPos, u"右下隅");
    EXPECT_EQ(s.SearchString, u"");
    EXPECT_EQ(s.SearchFuzzy, 0);
    EXPECT_EQ(s.CustomItem, u"1111111");
    EXPECT_EQ(s.CustomMsg, 1);
}

TEST(ConfDefault, HalfTwipsGoToTheEvenNeighbour) {
    struct Case {
        int32_t screen, window, offset;
    };
    const Case cases[] = {
        {15360, 4001, 5680},   // 5679.5
        {15360, 4003, 5678},   // 5678.5
        {15360, 16001, -320},  // window wider than the screen: -320.5
        {15360, 16003, -322},  // -321.5
        {kMax, kMin, kMax},    // 2147483647.5 would not fit: the largest offset instead
        {kMin, kMax, kMin},    // -2147483647.5
    };
    for (const auto& c : cases) {
        const auto s = ConfDefault(c.screen, c.screen, c.window, c.window);
        EXPECT_EQ(s.FormLeft, c.offset) << c.screen << " " << c.window;
        EXPECT_EQ(s.FormTop, c.offset) << c.screen << " " << c.window;
    }
}

TEST(RoundHalfEven, RoundsToNearestWithHalvesToEven) {
    const std::pair<double, int32_t> cases[] = {
        {4000.5, 4000},
        {4001.5, 4002},
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {0.49999999999999994, 0},
        {2.4999999999999996, 2},
        {-0.3, 0},
        {-0.7, -1},
        {12.0, 12},
        {2147483647.4, kMax},
        {-2147483648.5, kMin},
        {-2147483648.4, kMin},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(RoundHalfEven(value), std::optional<int32_t>(expected)) << value;
    }
}

TEST(RoundHalfEven, NothingOutsideTheRange) {
    const double cases[] = {2147483647.5,  2147483648.0, -2147483649.0,
                            -2147483649.5, 1e300,        std::numeric_limits<double>::infinity(),
                            std::nan("")};
    for (double value : cases) EXPECT_EQ(RoundHalfEven(value), std::nullopt) << value;
}

}  // namespace
