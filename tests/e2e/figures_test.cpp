// The figures of the report's fourth line in the running program: from the copy's Unicode text,
// red over the limit in the main window and the popup, 「超過」 in the tray tip. Their rules are
// the unit tests'; the popup's extra line at every DPI is the DPI table's; the dialog's rows and
// field are FiguresDialog's (dialog_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

// A note as a browser copies it, both formats: in CF_TEXT each code unit Shift-JIS lacks is "?".
// 35 characters against a limit of 30; paragraphs of 26 and 5 characters take 2 rows and 1;
// UTF-8 has 9 + 8 + 1 + 21 + 2 + 15 bytes; X weighs kana, kanji and the brackets 2, the emoji
// with its skin tone 2 as a whole, the link 23.
const std::vector<ClipFormat> kPost = {
    AnsiText(ToSjis(L"見てね???? https://example.com/a\r\n「了解」。")),
    UnicodeText(L"見てね\U0001F44D\U0001F3FD https://example.com/a\r\n「了解」。")};
constexpr wchar_t kPostReport[] =
    L"字数:35(33) 改行:1 44byte\r\n全角:8(8) 半角:26(25)\r\n全SP:0 半SP:1 タブ:0 \r\n"
    L"原稿:3行(1枚) UTF8:56byte X:44/280 超過:5";
// X's count of links: one without a scheme, and one with an international host, 23 each.
constexpr wchar_t kBareLink[] = L"see example.com now";
constexpr wchar_t kBareLinkReport[] =
    L"字数:19(17) 改行:0 19byte\r\n全角:0(0) 半角:19(17)\r\n全SP:0 半SP:2 タブ:0 \r\n"
    L"原稿:1行(1枚) UTF8:19byte X:31/280 残り:11";
constexpr wchar_t kIdnLink[] = L"http://例え.jp";
constexpr wchar_t kIdnLinkReport[] =
    L"字数:12(12) 改行:0 14byte\r\n全角:2(2) 半角:10(10)\r\n全SP:0 半SP:0 タブ:0 \r\n"
    L"原稿:1行(1枚) UTF8:16byte X:23/280 残り:18";
constexpr wchar_t kConf[] = L"custom msg = 0\r\ncustom item ex = 111\r\nchar limit = 30\r\n";

// Waits until the text in `r` is drawn in red (some pixel far redder than green and blue) and
// nowhere in black, or the other way round.
bool InkIs(const RECT& r, bool red) {
    return WaitUntil([&] {
        bool reddish = false, black = false;
        for (COLORREF c : ScreenColours(r)) {
            reddish |= GetRValue(c) - GetGValue(c) > 120 && GetRValue(c) - GetBValue(c) > 120;
            black |= GetRValue(c) + GetGValue(c) + GetBValue(c) <= 3 * 40;
        }
        return reddish == red && black == !red;
    });
}

using Figures = QuilletE2E;

TEST_F(Figures, TheWindowShowsThemInRedOverTheLimitAndInBlackWithin) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(kConf));
    ASSERT_NO_FATAL_FAILURE(Start());
    RECT box{};
    GetClientRect(quillet_->description(), &box);
    MapWindowPoints(quillet_->description(), nullptr, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_TRUE(Counted(kPost, kPostReport));
    EXPECT_TRUE(InkIs(box, true)) << "not red over the limit";
    // CF_TEXT alone: the system makes the Unicode text of it.
    EXPECT_TRUE(Counted({AnsiText("\x82\xA0\x82\xA2\x82\xA4")},
                        L"字数:3(3) 改行:0 6byte\r\n全角:3(3) 半角:0(0)\r\n全SP:0 半SP:0 タブ:0 "
                        L"\r\n原稿:1行(1枚) UTF8:9byte X:6/280 残り:27"));
    EXPECT_TRUE(InkIs(box, false)) << "not black within the limit";
    EXPECT_TRUE(Counted({AnsiText(ToSjis(kBareLink)), UnicodeText(kBareLink)}, kBareLinkReport));
}

TEST_F(Figures, ThePopupShowsThemInRedOverTheLimitAndTheTipBeginsWithOver) {
    ASSERT_NO_FATAL_FAILURE(
        WriteConf(std::wstring(kConf) + L"task tray = 1\r\ntime auto close = 30\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Copy(kPost));
    HWND popup = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        popup = FindWindowW(QUILLET_POPUP_CLASS, nullptr);
        return popup && IsWindowVisible(popup);
    }));
    HWND text = GetDlgItem(popup, IDC_TXTDESCRIPTION);
    EXPECT_EQ(WindowText(text).value_or(L""), kPostReport);
    // The lines left of the icon column, clear of the balloon's rounded corners.
    RECT lines = WindowRect(text);
    lines.right = WindowRect(GetDlgItem(popup, IDC_POPUP_FR)).left;
    lines.bottom = std::min(lines.bottom, WindowRect(popup).bottom - 8);
    EXPECT_TRUE(InkIs(lines, true)) << "not red over the limit";
    EXPECT_TRUE(WaitUntil([] {
        for (const std::wstring& tip : TrayTips())
            if (tip.rfind(L"超過 - Quillet！ Ver0.50 -\r\n字数:35(33) ", 0) == 0) return true;
        return false;
    })) << "no tip beginning with 「超過」";
    ASSERT_TRUE(Copy({AnsiText(ToSjis(kIdnLink)), UnicodeText(kIdnLink)}));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(text).value_or(L"") == kIdnLinkReport; }));
}

}  // namespace
}  // namespace e2e
