// On a desktop of two monitors side by side (two_monitors.sh, run with --two-monitors): the
// main window's saved place on either monitor, across both, and on neither.
#include <map>
#include <string>

#include "fixture.h"

namespace e2e {
namespace {

// The desktop two_monitors.sh starts: a 1024 × 768 primary and a 1280 × 1024 monitor to its
// right, tops aligned, without task bars.
constexpr RECT kPrimary{0, 0, 1024, 768};
constexpr RECT kSecond{1024, 0, 2304, 1024};

bool Same(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

class TwoMonitorsE2E : public QuilletE2E {
protected:
    void SetUp() override {
        if (!OnTwoMonitors())
            GTEST_SKIP() << "needs the two-monitor desktop: ctest -R e2e_TwoMonitors";
        QuilletE2E::SetUp();
        // The ground the tests stand on: both monitors as laid out, and the pointer reaches each.
        const auto monitors = Monitors();
        ASSERT_EQ(monitors.size(), 2u) << "Wine sees " << monitors.size() << " monitor(s)";
        for (const Monitor& m : monitors) {
            const RECT& want = m.primary ? kPrimary : kSecond;
            ASSERT_TRUE(Same(m.rect, want)) << "a monitor at " << Describe(m.rect);
            ASSERT_TRUE(Same(m.work, want)) << "a work area at " << Describe(m.work);
            const POINT centre{(want.left + want.right) / 2, (want.top + want.bottom) / 2};
            ASSERT_TRUE(PointerAt(centre)) << "the pointer does not reach " << Describe(want);
        }
    }
};

// The value of `key` in Conf.txt's bytes ("form left" …), or "(none)".
std::string ConfValue(const std::string& bytes, const std::string& key) {
    const std::string head = key + " = ";
    for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        if (bytes.compare(start, head.size(), head) == 0)
            return bytes.substr(start + head.size(), end - start - head.size());
    }
    return "(none)";
}

COLORREF MostCommon(const std::vector<COLORREF>& colours) {
    std::map<COLORREF, int> counts;
    COLORREF best = CLR_INVALID;
    for (COLORREF c : colours)
        if (++counts[c] > counts[best]) best = c;
    return best;
}

using TwoMonitorsPlacement = TwoMonitorsE2E;

// A 400 × 120 pixel main window (6000 × 1800 twips at 15 twips a pixel) saved with its top-left
// corner at `saved`. Its caption band is its top 32 pixels.
TEST_F(TwoMonitorsPlacement, ASavedPlaceOnEitherMonitorStaysAndOneOnNeitherIsBroughtBack) {
    struct Case {
        const char* what;
        POINT saved;
        POINT expected;
    };
    const Case cases[] = {
        {"on the second monitor", {1400, 300}, {1400, 300}},
        {"across the seam", {900, 100}, {900, 100}},
        {"below the primary, its caption's right end on the second", {800, 900}, {800, 900}},
        {"beyond the second monitor's right edge: onto it", {2500, 800}, {1904, 800}},
        {"below the primary, beside the taller second: up onto the nearer primary",
         {300, 900},
         {300, 648}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(WriteConf(L"form left = " + std::to_wstring(c.saved.x * 15) +
                                          L"\r\nform top = " + std::to_wstring(c.saved.y * 15) +
                                          L"\r\nform width = 6000\r\nform height = 1800\r\n"));
        ASSERT_NO_FATAL_FAILURE(Start());
        const RECT frame = WindowRect(quillet_->main());
        const RECT expected{c.expected.x, c.expected.y, c.expected.x + 400, c.expected.y + 120};
        EXPECT_TRUE(Same(frame, expected)) << "the main window at " << Describe(frame);

        // Drawn on each monitor that shows part of it: the text box in the tooltip colour.
        RECT box{};
        GetClientRect(quillet_->description(), &box);
        MapWindowPoints(quillet_->description(), nullptr, reinterpret_cast<POINT*>(&box), 2);
        for (const Monitor& m : Monitors()) {
            RECT part{};
            if (!IntersectRect(&part, &box, &m.rect)) continue;
            COLORREF seen = CLR_INVALID;
            EXPECT_TRUE(WaitUntil([&] {
                seen = MostCommon(ScreenColours(part));
                return seen == GetSysColor(COLOR_INFOBK);
            })) << "the text box's part "
                << Describe(part) << " shows mostly " << std::hex << seen;
        }

        ASSERT_TRUE(quillet_->Close());
        const std::string conf = ConfBytes().value_or("");
        EXPECT_EQ(ConfValue(conf, "form left"), std::to_string(c.expected.x * 15));
        EXPECT_EQ(ConfValue(conf, "form top"), std::to_string(c.expected.y * 15));
    }
}

}  // namespace
}  // namespace e2e
