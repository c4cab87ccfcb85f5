// Screen units and where a main window saved off every monitor comes back.
#include <gtest/gtest.h>

#include <vector>

#include "display/placement.h"
#include "display/units.h"
#include "settings/settings.h"

namespace quillet::display {
namespace {

TEST(Units, TwipsAndDesignPixelsAtEachDpi) {
    struct Case {
        int dpi;
        int32_t width4000, design15, design230;
    };
    // form width = 4000 twips: 267, 333, 400 and 533 pixels.
    for (const Case c : {Case{96, 267, 15, 230}, Case{120, 333, 19, 288}, Case{144, 400, 23, 345},
                         Case{192, 533, 30, 460}, Case{0, 267, 15, 230}}) {
        EXPECT_EQ(PixelsFromTwips(4000, c.dpi), c.width4000) << c.dpi;
        EXPECT_EQ(Scale(15, c.dpi), c.design15) << c.dpi;
        EXPECT_EQ(Scale(230, c.dpi), c.design230) << c.dpi;
    }
    EXPECT_EQ(PixelsFromTwips(-1500, 96), -100);
    EXPECT_EQ(PixelsFromTwips(-8, 96), -1);
    EXPECT_EQ(PixelsFromTwips(7, 96), 0);
    EXPECT_DOUBLE_EQ(TwipsFromPixels(101, 192), 757.5);
    // A pixel count the window system cannot take is clamped, not wrapped.
    EXPECT_EQ(PixelsFromTwips(1e30, 96), 1000000000);
    EXPECT_EQ(PixelsFromTwips(-1e30, 96), -1000000000);
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

// What Conf.txt holds and gives back: the twips as the file's single-precision number, read back
// rounded half to even.
TwipsGeometry ThroughConfTxt(const TwipsGeometry& g) {
    auto stored = [](double v) {
        return static_cast<double>(RoundHalfEven(static_cast<float>(v)).value_or(0));
    };
    return {stored(g.Left), stored(g.Top), stored(g.Width), stored(g.Height)};
}

TEST(MainWindowPlace, SavedAndStartedAgainOnTheSameMonitorAtTheSameDpiGivesTheSamePixels) {
    for (int dpi : {96, 120, 144, 168, 192}) {
        const std::vector<MonitorArea> one{{{0, 0, 2560, 1440}, {0, 0, 2560, 1400}, dpi}};
        for (const ScreenRect& r : {Window(100, 100), Window(0, 0, 333, 75), Window(1, 1, 267, 101),
                                    Window(2000, 1300, 401, 121), Window(-10, 1390, 300, 100)}) {
            const TwipsGeometry saved = ThroughConfTxt(TwipsFromWindow(r, dpi, dpi));
            EXPECT_EQ(WindowFromTwips(saved, dpi, one), r) << dpi << " at " << r.Left;
        }
    }
}

// Two monitors of different DPIs, the system's DPI that of the primary one at sign-in.
TEST(MainWindowPlace, PositionsAtTheSystemDpiAndSizesAtTheDpiOfTheMonitorTheyLandOn) {
    const std::vector<MonitorArea> mixed{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96},
                                         {{1920, 0, 4480, 1440}, {1920, 0, 4480, 1400}, 144}};
    struct Case {
        const char* name;
        TwipsGeometry twips;
        ScreenRect window;
    };
    for (const Case& c : {
             Case{"on the primary", {1500, 1500, 4000, 1500}, {100, 100, 367, 200}},
             Case{"on the second, at its DPI", {30000, 1500, 4000, 1500}, {2000, 100, 2400, 250}},
             Case{"off both: onto the second's work area, sized there",
                  {90000, 1500, 4000, 1500},
                  {4080, 100, 4480, 250}},
         }) {
        EXPECT_EQ(WindowFromTwips(c.twips, 96, mixed), c.window) << c.name;
    }
    // Saved from the second monitor and read again: the same pixels.
    const ScreenRect there{2500, 300, 2950, 480};
    EXPECT_EQ(WindowFromTwips(ThroughConfTxt(TwipsFromWindow(there, 96, 144)), 96, mixed), there);
}

// Moved by the user onto a monitor of another DPI, the window takes the system's suggested
// rectangle, which keeps its size in inches: what is saved then is the same size in twips.
TEST(MainWindowPlace, AMoveToAnotherDpiKeepsTheSavedSize) {
    const TwipsGeometry at144 = TwipsFromWindow({2000, 100, 2400, 250}, 96, 144);
    const TwipsGeometry at96 = TwipsFromWindow({100, 100, 367, 200}, 96, 96);
    EXPECT_NEAR(at144.Width, at96.Width, 15);
    EXPECT_NEAR(at144.Height, at96.Height, 15);
}

TEST(MonitorAt, ThePointsMonitorOrTheNearest) {
    const std::vector<MonitorArea> two{{kLeftScreen, kLeftWork, 96},
                                       {kRightScreen, kRightWork, 144}};
    EXPECT_EQ(MonitorAt(100, 100, two), &two[0]);
    EXPECT_EQ(MonitorAt(1920, 0, two), &two[1]) << "the right monitor's first column";
    EXPECT_EQ(MonitorAt(1919, 1079, two), &two[0]);
    EXPECT_EQ(MonitorAt(2500, 1050, two), &two[1]) << "below the shorter one: nearest";
    EXPECT_EQ(MonitorAt(-500, 500, two), &two[0]);
    EXPECT_EQ(MonitorAt(0, 0, {}), nullptr);
}

}  // namespace
}  // namespace quillet::display
