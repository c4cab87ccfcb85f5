// The count popup's request, placement, inner layout, outline and count-down.
#include <gtest/gtest.h>

#include <vector>

#include "popup/popup_layout.h"

namespace quillet::popup {
namespace {

const display::ScreenRect kScreen{0, 0, 1920, 1080};

TEST(PopupRequest, DisplayPositionChoosesAnchorHeightAndTail) {
    struct Case {
        std::u16string_view dispPos;
        Request expected;
    };
    const Point pointer{500, 400};
    // Part of the worked example: a 25-byte widest line on a 1920 x 1080 screen.
    const std::vector<Case> cases = {
        {u"左上隅", {{20, 20}, 230, 60, false}},
        {u"右上隅", {{1900, 20}, 230, 60, false}},
        {u"右下隅", {{1900, 1060}, 230, 60, false}},
        {u"ポインタ", {{500, 400}, 230, 80, true}},
        {u"", {{500, 400}, 230, 80, true}},
        {u"中央", {{500, 400}, 230, 80, true}},
        // Only exact texts count as corners.
        {u"右下隅 ", {{500, 400}, 230, 80, true}},
        {u"右下", {{500, 400}, 230, 80, true}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(PopupRequest(cases[i].dispPos, 25, pointer, kScreen, 96), cases[i].expected)
            << "case " << i;
    }
}

// The corners are those of the work area of the monitor under the pointer, 20 design pixels in;
// every figure scales with that monitor's DPI.
TEST(PopupRequest, CornersOfTheWorkAreaAndSizesAtItsDpi) {
    struct Case {
        const char* name;
        std::u16string_view dispPos;
        display::ScreenRect work;
        int dpi;
        Request expected;
    };
    const display::ScreenRect taskBarBelow{0, 0, 1920, 1040};
    const display::ScreenRect secondMonitor{1920, 0, 3200, 984};
    const std::vector<Case> cases = {
        {"task bar below", u"右下隅", taskBarBelow, 96, {{1900, 1020}, 230, 60, false}},
        {"task bar on the left", u"左上隅", {48, 0, 1920, 1080}, 96, {{68, 20}, 230, 60, false}},
        {"second monitor", u"右上隅", secondMonitor, 96, {{3180, 20}, 230, 60, false}},
        {"120 dpi", u"右下隅", taskBarBelow, 120, {{1895, 1015}, 288, 75, false}},
        {"144 dpi", u"右下隅", taskBarBelow, 144, {{1890, 1010}, 345, 90, false}},
        {"192 dpi", u"左上隅", taskBarBelow, 192, {{40, 40}, 460, 120, false}},
        {"pointer at 144 dpi", u"ポインタ", taskBarBelow, 144, {{500, 400}, 345, 120, true}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PopupRequest(c.dispPos, 25, {500, 400}, c.work, c.dpi), c.expected) << c.name;
    }
}

// The fourth line adds one line of the report's font to the body, at the corners and at the
// pointer alike; the tail band and the width stay.
TEST(PopupRequest, TheFigureLineMakesTheBodyOneLineTaller) {
    struct Case {
        std::u16string_view dispPos;
        int dpi;
        int32_t lineHeight;
        int32_t height;
    };
    for (const Case c : {Case{u"右下隅", 96, 13, 73}, Case{u"ポインタ", 144, 20, 140},
                         Case{u"右下隅", 96, -3, 60}}) {
        const Request r = PopupRequest(c.dispPos, 25, {500, 400}, kScreen, c.dpi, c.lineHeight);
        EXPECT_EQ(r.height, c.height) << c.dpi << " dpi, line " << c.lineHeight;
        EXPECT_EQ(r.width, display::Scale(230, c.dpi));
        // The balloon's body takes all of it but the band left to the tail.
        const Layout l = LayoutPopup(r, kScreen, c.dpi);
        EXPECT_EQ(l.shape.body.bottom - l.shape.body.top, c.height - l.tail) << c.dpi;
    }
}

TEST(PopupRequest, WidthIsSixPixelsPerByteAndStaysDrawable) {
    struct Case {
        int64_t reportWidth;
        int32_t width;
    };
    for (const Case c :
         {Case{0, 80}, Case{3, 98}, Case{25, 230}, Case{5447, 32762}, Case{5448, 32767},
          Case{int64_t{1} << 31, 32767}, Case{INT64_MAX, 32767}, Case{-5, 80}}) {
        EXPECT_EQ(PopupWidth(c.reportWidth), c.width) << c.reportWidth;
    }
    EXPECT_EQ(PopupRequest(u"左上隅", 5447, {}, kScreen, 192).width, 32767) << "after scaling";
}

TEST(PopupRequest, WidthGrowsOnlyForGlyphsWiderThanSixPixels) {
    struct Case {
        int32_t width;
        int64_t linePixels;
        int dpi;
        int32_t fitted;
    };
    for (const Case c : {
             Case{230, 150, 96, 230},   // 25 bytes at 6 pixels: the formula's room
             Case{230, 175, 96, 230},   // at 7 pixels still fits
             Case{80, 0, 96, 80},       // an empty report
             Case{350, 315, 96, 359},   // 45 bytes at 7 pixels: 315 + 44
             Case{525, 473, 144, 539},  // the same at 144 dpi: 473 + 66
             Case{32767, 40000, 96, 32767},
             Case{230, -5, 96, 230},
         }) {
        EXPECT_EQ(FitTextWidth(c.width, c.linePixels, c.dpi), c.fitted) << c.linePixels;
    }
}

TEST(PopupPlacement, SidesAndWindowRectangles) {
    struct Case {
        Point anchor;
        int32_t width, height;
        Side side;
        PixelRect window;  // screen pixels
    };
    const display::ScreenRect screen{0, 0, 1024, 768};
    const std::vector<Case> cases = {
        {{500, 500}, 200, 80, Side::LeftAbove, {300, 420, 500, 500}},
        {{100, 500}, 200, 80, Side::RightAbove, {100, 420, 300, 500}},
        {{500, 50}, 200, 80, Side::LeftBelow, {300, 50, 500, 130}},
        {{100, 50}, 200, 80, Side::RightBelow, {100, 50, 300, 130}},
        // Both tests are strict: equal to the size opens right and below.
        {{200, 80}, 200, 80, Side::RightBelow, {200, 80, 400, 160}},
        {{201, 81}, 200, 80, Side::LeftAbove, {1, 1, 201, 81}},
        // The corners on a 1024 x 768 screen.
        {{20, 20}, 230, 60, Side::RightBelow, {20, 20, 250, 80}},
        {{1004, 20}, 230, 60, Side::LeftBelow, {774, 20, 1004, 80}},
        {{1004, 748}, 230, 60, Side::LeftAbove, {774, 688, 1004, 748}},
        // A pointer beyond the screen's edge (another monitor's): moved onto this one.
        {{1100, 400}, 200, 80, Side::LeftAbove, {824, 320, 1024, 400}},
        {{-50, 400}, 200, 80, Side::RightAbove, {0, 320, 200, 400}},
    };
    for (const Case& c : cases) {
        const Layout l = LayoutPopup({c.anchor, c.width, c.height, c.height == 80}, screen, 96);
        EXPECT_EQ(l.side, c.side) << c.anchor.x << "," << c.anchor.y;
        EXPECT_EQ(l.window, c.window) << c.anchor.x << "," << c.anchor.y;
    }
    EXPECT_EQ(SideToken(Side::LeftAbove), u"左上");
    EXPECT_EQ(SideToken(Side::RightBelow), u"右下");
}

// On a second monitor right of the first, or with a task bar, the side tests look at the edges
// of the work area the pointer is in: the balloon still opens up and to the left wherever that
// fits, and flips only where it would leave the work area.
TEST(PopupPlacement, SidesFollowTheWorkAreaOfTheMonitor) {
    struct Case {
        const char* name;
        Point anchor;
        display::ScreenRect work;
        Side side;
        PixelRect window;
    };
    const display::ScreenRect second{1024, 0, 2304, 1024};
    const std::vector<Case> cases = {
        {"second monitor, near its left edge",
         {1100, 500},
         second,
         Side::RightAbove,
         {1100, 420, 1300, 500}},
        {"second monitor, room to the left",
         {1300, 500},
         second,
         Side::LeftAbove,
         {1100, 420, 1300, 500}},
        {"task bar along the top",
         {500, 90},
         {0, 40, 1024, 768},
         Side::LeftBelow,
         {300, 90, 500, 170}},
        {"above the bottom task bar",
         {500, 700},
         {0, 0, 1024, 728},
         Side::LeftAbove,
         {300, 620, 500, 700}},
        {"on the bottom task bar",
         {500, 750},
         {0, 0, 1024, 728},
         Side::LeftAbove,
         {300, 648, 500, 728}},
    };
    for (const Case& c : cases) {
        const Layout l = LayoutPopup({c.anchor, 200, 80, true}, c.work, 96);
        EXPECT_EQ(l.side, c.side) << c.name;
        EXPECT_EQ(l.window, c.window) << c.name;
    }
}

TEST(PopupInnerLayout, TextAndIconColumnForEachBand) {
    struct Case {
        Side side;
        int32_t tail;
        int32_t height;
        TwipBox text;
        PixelRect textPixels;
    };
    // A 200-pixel-wide window: the text is 200 - 19 pixels wide from 7.5 pixels in.
    const std::vector<Case> cases = {
        {Side::LeftAbove, 20, 80, {112.5, 112.5, 2715, 1125}, {8, 8, 189, 83}},
        {Side::RightAbove, 20, 80, {112.5, 112.5, 2715, 1125}, {8, 8, 189, 83}},
        {Side::LeftBelow, 20, 80, {112.5, 412.5, 2715, 975}, {8, 28, 189, 93}},
        {Side::RightBelow, 20, 80, {112.5, 412.5, 2715, 975}, {8, 28, 189, 93}},
        // Corner mode: no band; the text reaches below the body, the region clips it.
        {Side::LeftAbove, 0, 60, {112.5, 112.5, 2715, 1125}, {8, 8, 189, 83}},
        {Side::RightBelow, 0, 60, {112.5, 112.5, 2715, 675}, {8, 8, 189, 53}},
    };
    for (const Case& c : cases) {
        const InnerLayout l = LayoutInside(c.side, c.tail, 200 * 15, c.height * 15, 96);
        EXPECT_EQ(l.text, c.text) << static_cast<int>(c.side) << " tail " << c.tail;
        EXPECT_EQ(ToPixels(l.text, 96), c.textPixels);
        // The column's right edge is the text's, 11.5 pixels inside the window's right edge.
        EXPECT_DOUBLE_EQ(l.fr.left + l.fr.width, l.text.left + l.text.width);
        EXPECT_DOUBLE_EQ(200 * 15 - (l.fr.left + l.fr.width), 11.5 * 15);
        EXPECT_EQ(l.fr.top, l.text.top);
        EXPECT_EQ(l.fr.width, 285);
    }
}

// The worked example at every DPI: the window, the text box and the column scale together.
TEST(PopupInnerLayout, EveryFigureScalesWithTheDpi) {
    struct Case {
        int dpi;
        PixelRect window, text, column;
        int32_t ellipse;
    };
    const std::vector<Case> cases = {
        {96, {270, 320, 500, 400}, {8, 8, 219, 83}, {200, 8, 219, 75}, 15},
        {120, {212, 300, 500, 400}, {9, 9, 274, 103}, {250, 9, 274, 93}, 19},
        {144, {155, 280, 500, 400}, {11, 11, 328, 124}, {299, 11, 328, 112}, 23},
        {192, {40, 240, 500, 400}, {15, 15, 437, 165}, {399, 15, 437, 149}, 30},
    };
    for (const Case& c : cases) {
        const Request r = PopupRequest(u"ポインタ", 25, {500, 400}, kScreen, c.dpi);
        const Layout l = LayoutPopup(r, kScreen, c.dpi);
        EXPECT_EQ(l.window, c.window) << c.dpi;
        EXPECT_EQ(ToPixels(l.inside.text, c.dpi), c.text) << c.dpi;
        EXPECT_EQ(ToPixels(l.inside.fr, c.dpi), c.column) << c.dpi;
        EXPECT_EQ(l.shape.ellipse, c.ellipse) << c.dpi;
        EXPECT_EQ(l.tail, display::Scale(20, c.dpi));
    }
}

TEST(PopupShape, BodyLeavesTheBandToTheTailAlone) {
    struct Case {
        Side side;
        int32_t tail;
        PixelRect body;
        Point apex;
        int32_t baseY;
    };
    const std::vector<Case> cases = {
        {Side::LeftAbove, 20, {0, 0, 230, 60}, {230, 80}, 59},
        {Side::RightAbove, 20, {0, 0, 230, 60}, {0, 80}, 59},
        {Side::LeftBelow, 20, {0, 20, 230, 80}, {230, 0}, 20},
        {Side::RightBelow, 20, {0, 20, 230, 80}, {0, 0}, 20},
    };
    for (const Case& c : cases) {
        const Shape s = BalloonShape(c.side, c.tail, 230, 80, 96);
        EXPECT_EQ(s.body, c.body);
        ASSERT_TRUE(s.tail.has_value());
        const auto& t = *s.tail;
        EXPECT_EQ(t[0], c.apex);
        EXPECT_EQ(t[1].y, c.baseY);
        EXPECT_EQ(t[2].y, c.baseY);
        // The tail has area, and its base lies on the body's straight edge, clear of the
        // rounded corners, on the anchor's side of the window.
        const int64_t area2 = int64_t{t[1].x - t[0].x} * (t[2].y - t[0].y) -
                              int64_t{t[2].x - t[0].x} * (t[1].y - t[0].y);
        EXPECT_NE(area2, 0);
        for (int i : {1, 2}) {
            EXPECT_GE(t[i].x, kCornerEllipse / 2);
            EXPECT_LE(t[i].x, 230 - kCornerEllipse / 2);
            EXPECT_LT(std::abs(t[i].x - c.apex.x), 115) << "near the anchor's side";
        }
    }
    // Corner mode: the body is the whole window, no tail.
    const Shape corner = BalloonShape(Side::RightBelow, 0, 230, 60, 96);
    EXPECT_EQ(corner.body, (PixelRect{0, 0, 230, 60}));
    EXPECT_FALSE(corner.tail.has_value());
    // A window narrower than the tail's base keeps the base inside it.
    const Shape narrow = BalloonShape(Side::LeftAbove, 20, 10, 80, 96);
    for (const Point& p : *narrow.tail) EXPECT_TRUE(p.x >= 0 && p.x <= 10);
    // At 144 dpi the base lies 18 and 48 pixels from the anchor's side.
    const Shape large = BalloonShape(Side::RightBelow, 30, 345, 120, 144);
    EXPECT_EQ((*large.tail)[1], (Point{18, 30}));
    EXPECT_EQ((*large.tail)[2], (Point{48, 30}));
}

TEST(PopupCountDown, LabelsAndCloseTickForEachTime) {
    using Tick = CountDown::Tick;
    struct Case {
        int32_t time;
        std::vector<std::u16string> labels;  // after each tick before the closing one
    };
    const std::vector<Case> cases = {
        {5, {u"4", u"3", u"2", u"1"}}, {2, {u"1"}}, {1, {}}, {0, {}}, {-3, {}}, {INT32_MIN, {}},
    };
    for (const Case& c : cases) {
        CountDown d(c.time);
        d.TextChanged(c.time);  // setting the text, as every layout does
        EXPECT_EQ(d.Label(), u"");
        for (const auto& label : c.labels) {
            EXPECT_EQ(d.OnTick(), Tick::Counting) << c.time;
            EXPECT_EQ(d.Label(), label);
        }
        EXPECT_EQ(d.OnTick(), Tick::Close) << c.time;
    }
}

TEST(PopupCountDown, NewTextRestartsFromTheFullTime) {
    CountDown d(3);
    d.TextChanged(3);
    d.OnTick();
    EXPECT_EQ(d.Label(), u"2");
    d.TextChanged(3);
    EXPECT_EQ(d.Label(), u"");
    EXPECT_EQ(d.OnTick(), CountDown::Tick::Counting);
    EXPECT_EQ(d.Label(), u"2");
    EXPECT_EQ(d.OnTick(), CountDown::Tick::Counting);
    EXPECT_EQ(d.OnTick(), CountDown::Tick::Close);
}

TEST(PopupCountDown, ClickKeepsItOpenThroughLaterTexts) {
    CountDown d(5);
    d.TextChanged(5);
    d.OnTick();
    d.TextClicked();
    EXPECT_TRUE(d.KeepOpen());
    EXPECT_EQ(d.Label(), u"");
    EXPECT_EQ(d.OnTick(), CountDown::Tick::Stopped);
    EXPECT_FALSE(d.TimerEnabled());
    // A later copy re-arms the timer, and its next tick stops it again.
    d.TextChanged(5);
    EXPECT_TRUE(d.TimerEnabled());
    EXPECT_EQ(d.OnTick(), CountDown::Tick::Stopped);
    EXPECT_FALSE(d.TimerEnabled());
    EXPECT_EQ(d.Label(), u"");
}

TEST(PopupCountDown, NonPositiveTimeIsNotRestartedByText) {
    CountDown d(0);
    d.TextClicked();  // a click before the first tick keeps even this one open
    d.TextChanged(0);
    EXPECT_EQ(d.OnTick(), CountDown::Tick::Stopped);
    CountDown e(-1);
    e.TextChanged(-1);
    EXPECT_EQ(e.Tag(), u"-1");
    EXPECT_EQ(e.OnTick(), CountDown::Tick::Close);
}

}  // namespace
}  // namespace quillet::popup
