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

using quillet::display::Ink;
using quillet::display::Palette;
using quillet::display::PaletteFor;
using quillet::display::Scheme;

constexpr wchar_t kPersonalize[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t kAppsLight[] = L"AppsUseLightTheme";

// The apps' theme as Windows switches it: the value, then the word to every top-level window.
bool SwitchTheme(bool light) {
    const DWORD value = light ? 1 : 0;
    DWORD_PTR ignored = 0;
    return RegSetKeyValueW(HKEY_CURRENT_USER, kPersonalize, kAppsLight, REG_DWORD, &value,
                           sizeof value) == ERROR_SUCCESS &&
           SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                               reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_NORMAL, 5000,
                               &ignored) != 0;
}

// Waits until most of `r` on the screen is the ink's ground and some pixel its text.
bool Shows(const RECT& r, const Ink& ink) {
    return WaitUntil([&] {
        std::map<COLORREF, int> counts;
        for (COLORREF c : ScreenColours(r)) ++counts[c];
        const auto most = std::max_element(counts.begin(), counts.end(),
                                           [](auto a, auto b) { return a.second < b.second; });
        return most != counts.end() && most->first == RGB(ink.back.r, ink.back.g, ink.back.b) &&
               counts.count(RGB(ink.text.r, ink.text.g, ink.text.b));
    });
}

class Theme : public QuilletE2E {
protected:
    void SetUp() override {
        QuilletE2E::SetUp();
        ASSERT_TRUE(SwitchTheme(false));
    }
    // The prefix is every test's: the value goes, as on a system that never had it.
    void TearDown() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, kAppsLight); }
    const Palette dark_ = PaletteFor(Scheme::Dark, {});
};

TEST_F(Theme, ThePopupIsDarkInADarkTheme) {
    ASSERT_NO_FATAL_FAILURE(
        WriteConf(L"custom msg = 0\r\ntask tray = 1\r\ntime auto close = 30\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Copy({UnicodeText(kWorked)}));
    const HWND popup = WaitForWindow(QUILLET_POPUP_CLASS);
    ASSERT_TRUE(popup);
    // The report's lines left of the icon column, above the balloon's rounded outline; the
    // seconds in the column.
    const HWND column = GetDlgItem(popup, IDC_POPUP_FR);
    RECT lines = WindowRect(GetDlgItem(popup, IDC_TXTDESCRIPTION));
    lines.right = WindowRect(column).left;
    lines.bottom = std::min(lines.bottom, WindowRect(popup).bottom - 8);
    EXPECT_TRUE(Shows(lines, dark_.popup)) << "the report";
    EXPECT_TRUE(Shows(WindowRect(GetDlgItem(column, IDC_POPUP_LBLTIME)), dark_.popupSeconds))
        << "the seconds";
}

TEST_F(Theme, TheMainWindowFollowsTheThemeBothWaysWhileItRuns) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"custom msg = 0\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
    RECT box{};
    GetClientRect(quillet_->description(), &box);
    MapWindowPoints(quillet_->description(), nullptr, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_TRUE(Shows(box, dark_.report)) << "started dark";
    const COLORREF info = GetSysColor(COLOR_INFOBK);
    quillet::display::SystemColours system{};
    system.info = {GetRValue(info), GetGValue(info), GetBValue(info)};
    const Palette light = PaletteFor(Scheme::Light, system);
    ASSERT_TRUE(SwitchTheme(true));
    EXPECT_TRUE(Shows(box, light.report)) << "switched to light";
    ASSERT_TRUE(SwitchTheme(false));
    EXPECT_TRUE(Shows(box, dark_.report)) << "switched back to dark";
}

}  // namespace
}  // namespace e2e
