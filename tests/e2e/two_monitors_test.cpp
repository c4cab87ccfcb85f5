// On a desktop of two monitors side by side (two_monitors.sh, run with --two-monitors): the
// main window's saved place on either monitor, across both, and on neither; the popup, the help
// note, the notice and the settings dialog on the monitor under the pointer.
#include <map>
#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

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

using TwoMonitorsWindows = TwoMonitorsE2E;

// The windows that open where the user works: on the monitor under the pointer, placed by that
// monitor's edges. `corner` says which corner of the popup must be where (the anchor).
TEST_F(TwoMonitorsWindows, ThePopupTheNoteTheNoticeAndTheDialogOpenOnTheMonitorUnderThePointer) {
    struct Case {
        const char* what;
        const wchar_t* dispPos;
        POINT pointer;
        POINT corner;
        bool right, bottom;  // which corner of the popup `corner` is
    };
    const Case cases[] = {
        {"右下隅 with the pointer on the second", L"右下隅", {1600, 500}, {2284, 1004}, true, true},
        {"左上隅 with the pointer on the second", L"左上隅", {1600, 500}, {1044, 20}, false, false},
        {"右上隅 with the pointer on the primary", L"右上隅", {500, 400}, {1004, 20}, true, false},
        // Near the second's left edge it opens to the right: its edges are the monitor's.
        {"ポインタ near the second's left edge",
         L"ポインタ",
         {1100, 500},
         {1100, 500},
         false,
         true},
        {"ポインタ on the primary", L"ポインタ", {600, 500}, {600, 500}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(WriteConf(std::wstring(L"task tray = 1\r\ncustom msg = 0\r\n"
                                                       L"time auto close = 30\r\ndisp pos = ") +
                                          c.dispPos + L"\r\n"));
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_TRUE(PointerAt(c.pointer));
        ASSERT_TRUE(Copy({UnicodeText(kWorked)}));
        HWND popup = WaitForWindow(QUILLET_POPUP_CLASS);
        ASSERT_TRUE(popup);
        const RECT r = WindowRect(popup);
        const POINT at{c.right ? r.right : r.left, c.bottom ? r.bottom : r.top};
        EXPECT_EQ(at.x, c.corner.x) << Describe(r);
        EXPECT_EQ(at.y, c.corner.y) << Describe(r);
        ASSERT_TRUE(quillet_->Close());
    }

    // The help note over the icon of a popup near the second's left edge: beside the pointer on
    // the second monitor, not across the seam.
    ASSERT_NO_FATAL_FAILURE(WriteConf(
        L"task tray = 1\r\ncustom msg = 0\r\ntime auto close = 30\r\ndisp pos = ポインタ\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(PointerAt({1100, 500}));
    ASSERT_TRUE(Copy({UnicodeText(kWorked)}));
    HWND popup = WaitForWindow(QUILLET_POPUP_CLASS);
    ASSERT_TRUE(popup);
    const RECT icon = WindowRect(GetDlgItem(GetDlgItem(popup, IDC_POPUP_FR), IDC_POPUP_IMG));
    const POINT onIcon{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    HWND note = nullptr;
    for (int round = 0; round < 5 && !note; ++round) {
        PointerAt({onIcon.x, onIcon.y + 1});
        PointerAt(onIcon);
        note = WaitForWindow(QUILLET_HELP_CLASS, Ms(1000));
    }
    ASSERT_TRUE(note) << "no help note over the icon";
    const RECT n = WindowRect(note);
    EXPECT_GE(n.left, kSecond.left) << "the note crosses the seam: " << Describe(n);
    EXPECT_EQ(n.left, onIcon.x) << "opened to the right of the pointer: " << Describe(n);

    // The settings dialog, opened with the pointer on the second: centred there.
    PostMessageW(quillet_->main(), QUILLET_TRAY_CALLBACK, QUILLET_TRAY_ID, WM_LBUTTONDBLCLK);
    HWND dialog = WaitForWindow(QUILLET_SETTING_CLASS);
    ASSERT_TRUE(dialog);
    const RECT d = WindowRect(dialog);
    EXPECT_NEAR((d.left + d.right) / 2.0, (kSecond.left + kSecond.right) / 2.0, 1) << Describe(d);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

    // The end notice, with the pointer still on the second: centred on it.
    ASSERT_TRUE(quillet_->Close());
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"task tray = 1\r\ncustom msg = 1\r\n"));
    ASSERT_TRUE(PointerAt({1600, 500}));
    quillet_.emplace(exe_);  // the watch starts once the start notice has gone
    ASSERT_TRUE(quillet_->ok()) << quillet_->Failure();
    HWND notice = WaitForWindow(QUILLET_SPLASH_CLASS);
    ASSERT_TRUE(notice);
    const RECT t = WindowRect(notice);
    EXPECT_NEAR((t.left + t.right) / 2.0, (kSecond.left + kSecond.right) / 2.0, 1) << Describe(t);
    EXPECT_NEAR((t.top + t.bottom) / 2.0, (kSecond.top + kSecond.bottom) / 2.0, 1) << Describe(t);
}

}  // namespace
}  // namespace e2e
