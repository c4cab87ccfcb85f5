// Screen units and where a main window saved off every monitor comes back.
#include <gtest/gtest.h>

#include <vector>

#include "display/placement.h"
#include "display/units.h"

namespace quillet::display {
namespace {

TEST(Units, TwipsPerPixelRoundsAndSurvivesAnUnknownResolution) {
    EXPECT_EQ(TwipsPerPixel(96), 15);
    EXPECT_EQ(TwipsPerPixel(120), 12);
    EXPECT_EQ(TwipsPerPixel(144), 10);
    EXPECT_EQ(TwipsPerPixel(100), 14);  // 14.4
    EXPECT_EQ(TwipsPerPixel(192), 8);   // 7.5 rounds up
    EXPECT_EQ(TwipsPerPixel(0), 15);
    EXPECT_EQ(TwipsPerPixel(-5), 15);
    EXPECT_EQ(TwipsPerPixel(5000), 1);
}

TEST(Units, TwipsToPixelsRoundsToTheNearestPixelOnBothSidesOfZero) {
    EXPECT_EQ(TwipsToPixels(5820, 15), 388);
    EXPECT_EQ(TwipsToPixels(7, 15), 0);
    EXPECT_EQ(TwipsToPixels(8, 15), 1);
    EXPECT_EQ(TwipsToPixels(-1500, 15), -100);
    EXPECT_EQ(TwipsToPixels(-8, 15), -1);
    // A pixel count the window system cannot take is clamped, not wrapped.
    EXPECT_EQ(TwipsToPixels(1e30, 15), 1000000000);
    EXPECT_EQ(TwipsToPixels(-1e30, 15), -1000000000);
    EXPECT_EQ(TwipsToPixels(3000, 0), 200);
}

constexpr ScreenRect kLeftScreen{0, 0, 1920, 1080};
constexpr ScreenRect kLeftWork{0, 0, 1920, 1040};  // task bar at the bottom
constexpr ScreenRect kRightScreen{1920, 0, 3200, 1024};
constexpr ScreenRect kRightWork{1920, 0, 3200, 1024};

ScreenRect Window(int64_t left, int64_t top, int64_t width = 300, int64_t height = 100) {
    return {left, top, left + width, top + height};
}

TEST(Placement, WindowsWhoseCaptionIsShownStayExactlyWhereSaved) {
    const std::vector<MonitorArea> two{{kLeftScreen, kLeftWork}, {kRightScreen, kRightWork}};
    for (const ScreenRect& w : {
             Window(100, 100), Window(1800, 500),  // across both monitors
             Window(3200 - 16, 200),               // 16 pixels left on the right monitor
             Window(-300 + 16, 200),               // 16 pixels left on the left edge
             Window(100, -16),                     // dragged up by its caption
             Window(100, 1080 - 16),               // only the caption shows, under the task bar
             Window(2500, 1000, 300, 8),           // thinner than the grip: all of it shows
         }) {
        EXPECT_EQ(PlaceOnScreen(w, two), w) << w.Left << "," << w.Top;
    }
}

TEST(Placement, WindowsOffEveryMonitorMoveTheShortestWayOntoTheNearestWorkArea) {
    const std::vector<MonitorArea> two{{kLeftScreen, kLeftWork}, {kRightScreen, kRightWork}};
    struct Case {
        const char* name;
        ScreenRect saved, placed;
    };
    const Case cases[] = {
        {"right of everything", Window(5000, 300), Window(2900, 300)},
        {"15 pixels left on the right edge", Window(3200 - 15, 300), Window(2900, 300)},
        {"below the shorter right monitor", Window(2500, 1030), Window(2500, 924)},
        {"below the left monitor, above its task bar", Window(100, 1200), Window(100, 940)},
        {"caption above the top", Window(100, -17), Window(100, 0)},
        {"far up and left", Window(-1000000000, -1000000000), Window(0, 0)},
        {"larger than the work area", Window(9000, 9000, 4000, 2000), Window(1920, 0, 4000, 2000)},
    };
    for (const Case& c : cases) EXPECT_EQ(PlaceOnScreen(c.saved, two), c.placed) << c.name;
}

TEST(Placement, ALoweredResolutionBringsTheWindowBackOnTheOneMonitor) {
    const std::vector<MonitorArea> one{{{0, 0, 1024, 768}, {0, 0, 1024, 728}}};
    EXPECT_EQ(PlaceOnScreen(Window(1500, 900), one), Window(724, 628));
    // Nowhere to go: left alone.
    EXPECT_EQ(PlaceOnScreen(Window(1500, 900), {}), Window(1500, 900));
}

}  // namespace
}  // namespace quillet::display
