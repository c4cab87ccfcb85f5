// The dark theme seen on the screen: the popup and the main window dark when the program starts
// in it, and the main window following a switch either way while it runs, as Windows announces
// one (the registry value, then WM_SETTINGCHANGE "ImmersiveColorSet" to every window).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "display/theme.h"
#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

using quillet::display::Palette;
using quillet::display::PaletteFor;
using quillet::display::Rgb;
using quillet::display::Scheme;

constexpr wchar_t kPersonalize[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// Sets the apps' theme for the test and puts the value back as it was.
class AppsTheme {
public:
    AppsTheme() {
        DWORD value = 0, size = sizeof value;
        had_ = RegGetValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme", RRF_RT_REG_DWORD,
                            nullptr, &value, &size) == ERROR_SUCCESS;
        old_ = value;
    }
    ~AppsTheme() {
        if (had_) {
            Write(old_ != 0);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme");
        }
    }
    static bool Write(bool light) {
        const DWORD value = light ? 1 : 0;
        return RegSetKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme", REG_DWORD,
                               &value, sizeof value) == ERROR_SUCCESS;
    }
    // As Windows switches it: the value, then the word to every top-level window.
    static bool Switch(bool light) {
        DWORD_PTR ignored = 0;
        return Write(light) && SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                                                   reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                                                   SMTO_NORMAL, 5000, &ignored) != 0;
    }

private:
    bool had_ = false;
    DWORD old_ = 0;
};

COLORREF Ref(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

// The colour most of `r` shows on the screen: a box's ground under its text.
COLORREF Ground(const RECT& r) {
    std::map<COLORREF, int> counts;
    for (COLORREF c : ScreenColours(r)) ++counts[c];
    COLORREF most = CLR_INVALID;
    int best = 0;
    for (const auto& [c, n] : counts) {
        if (n > best) best = n, most = c;
    }
    return most;
}

// Waits until `r` shows `ground` under text of `text` (some pixel of exactly that colour).
testing::AssertionResult Shows(const RECT& r, Rgb ground, Rgb text) {
    COLORREF seen = CLR_INVALID;
    bool inked = false;
    if (WaitUntil([&] {
            seen = Ground(r);
            inked = false;
            for (COLORREF c : ScreenColours(r)) inked |= c == Ref(text);
            return seen == Ref(ground) && inked;
        })) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << std::hex << "ground 0x" << seen << " instead of 0x"
                                       << Ref(ground) << (inked ? "" : ", no pixel of the text");
}

class Theme : public QuilletE2E {
protected:
    AppsTheme theme_;
    const Palette dark_ = PaletteFor(Scheme::Dark, {});
};

TEST_F(Theme, ThePopupIsDarkInADarkTheme) {
    ASSERT_TRUE(AppsTheme::Write(false));
    ASSERT_NO_FATAL_FAILURE(
        WriteConf(L"custom msg = 0\r\ntask tray = 1\r\ntime auto close = 30\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Copy({UnicodeText(kWorked)}));
    const HWND popup = WaitForWindow(QUILLET_POPUP_CLASS);
    ASSERT_TRUE(popup);
    // The report's lines left of the icon column, and the column with its seconds.
    RECT lines = WindowRect(GetDlgItem(popup, IDC_TXTDESCRIPTION));
    const RECT column = WindowRect(GetDlgItem(popup, IDC_POPUP_FR));
    lines.right = column.left;
    // The text box reaches below the balloon's rounded outline.
    lines.bottom = std::min(lines.bottom, WindowRect(popup).bottom - 8);
    EXPECT_TRUE(Shows(lines, dark_.popup.back, dark_.popup.text)) << "the report";
    const RECT seconds = WindowRect(GetDlgItem(GetDlgItem(popup, IDC_POPUP_FR), IDC_POPUP_LBLTIME));
    EXPECT_TRUE(Shows(seconds, dark_.popupSeconds.back, dark_.popupSeconds.text)) << "the seconds";
}

TEST_F(Theme, TheMainWindowFollowsTheThemeBothWaysWhileItRuns) {
    ASSERT_TRUE(AppsTheme::Write(false));
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"custom msg = 0\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
    RECT box{};
    GetClientRect(quillet_->description(), &box);
    MapWindowPoints(quillet_->description(), nullptr, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_TRUE(Shows(box, dark_.report.back, dark_.report.text)) << "started dark";

    const COLORREF info = GetSysColor(COLOR_INFOBK);
    const Palette light =
        PaletteFor(Scheme::Light,
                   {{}, {}, {GetRValue(info), GetGValue(info), GetBValue(info)}, {}, {}, {}, {}});
    ASSERT_TRUE(AppsTheme::Switch(true));
    EXPECT_TRUE(Shows(box, light.report.back, light.report.text)) << "switched to light";
    ASSERT_TRUE(AppsTheme::Switch(false));
    EXPECT_TRUE(Shows(box, dark_.report.back, dark_.report.text)) << "switched back to dark";
}

}  // namespace
}  // namespace e2e
