// The figures of the report's fourth line in the running program: taken from the copy's Unicode
// text, shown in the main window and the popup, red over the limit, 「超過」 in the tray tip, and
// their settings through the dialog and Conf.txt. Their rules are the unit tests'; the popup's
// height at every DPI is the DPI table's.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

// A note as a browser copies it: an emoji with a skin tone, a link, a second paragraph. The
// browser puts both formats; in CF_TEXT each code unit Shift-JIS lacks is a "?".
constexpr wchar_t kPost[] = L"見てね\U0001F44D\U0001F3FD https://example.com/a\r\n「了解」。";
constexpr wchar_t kPostAnsi[] = L"見てね???? https://example.com/a\r\n「了解」。";
std::vector<ClipFormat> PostFormats() {
    return {AnsiText(ToSjis(kPostAnsi)), UnicodeText(kPost)};
}
// 35 characters against a limit of 30. The paragraphs of 26 and 5 characters take 2 rows and 1;
// UTF-8 has 9 + 8 + 1 + 21 + 2 + 15 bytes; X weighs kanji, kana and the brackets 2, the emoji 2
// as a whole and the link 23.
constexpr wchar_t kPostReport[] =
    L"字数:35(33) 改行:1 44byte\r\n全角:8(8) 半角:26(25)\r\n全SP:0 半SP:1 タブ:0 \r\n"
    L"原稿:3行(1枚) UTF8:56byte X:44/280 超過:5";
// A program that puts only CF_TEXT: the system makes the Unicode text from it.
constexpr char kAiuSjis[] = "\x82\xA0\x82\xA2\x82\xA4";  // 「あいう」
constexpr wchar_t kAiuReport[] =
    L"字数:3(3) 改行:0 6byte\r\n全角:3(3) 半角:0(0)\r\n全SP:0 半SP:0 タブ:0 \r\n"
    L"原稿:1行(1枚) UTF8:9byte X:6/280 残り:27";

constexpr wchar_t kFiguresConf[] = L"custom msg = 0\r\ncustom item ex = 111\r\nchar limit = 30\r\n";

// How the text inside `r` is drawn: in red (the limit is over), or in black.
struct Ink {
    bool red = false;    // a pixel far redder than it is green or blue
    bool black = false;  // a pixel near black
};
Ink InkIn(const RECT& r) {
    Ink ink;
    for (COLORREF c : ScreenColours(r)) {
        const int red = GetRValue(c), green = GetGValue(c), blue = GetBValue(c);
        if (red - green > 120 && red - blue > 120) ink.red = true;
        if (red + green + blue <= 3 * 40) ink.black = true;
    }
    return ink;
}
bool WaitForInk(const RECT& r, bool red) {
    return WaitUntil([&] {
        const Ink ink = InkIn(r);
        return ink.red == red && ink.black == !red;
    });
}

RECT ScreenClient(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The distance between the first two lines of a multi-line edit control: its font's height.
int LineHeight(HWND edit) {
    const LRESULT second = SendMessageW(edit, EM_LINEINDEX, 1, 0);
    if (second < 0) return 0;
    return static_cast<short>(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, second, 0))) -
           static_cast<short>(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, 0, 0)));
}

class Figures : public QuilletE2E {
protected:
    HWND Visible(const wchar_t* cls) {
        for (HWND h : TopLevelWindows(quillet_->process().pid(), cls))
            if (IsWindowVisible(h)) return h;
        return nullptr;
    }
    HWND WaitVisible(const wchar_t* cls) {
        HWND found = nullptr;
        WaitUntil([&] { return (found = Visible(cls)) != nullptr; });
        return found;
    }
};

TEST_F(Figures, TheWindowShowsTheFourthLineInRedOverTheLimitAndBlackWithin) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(kFiguresConf));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(quillet_->main()) != FALSE; }));
    const RECT box = ScreenClient(quillet_->description());

    EXPECT_TRUE(Counted(PostFormats(), kPostReport));
    EXPECT_TRUE(WaitForInk(box, true)) << "the report over the limit is not drawn in red";
    EXPECT_TRUE(Counted({AnsiText(kAiuSjis)}, kAiuReport)) << "a copy of CF_TEXT alone";
    EXPECT_TRUE(WaitForInk(box, false)) << "the report within the limit is not drawn in black";
}

TEST_F(Figures, ThePopupIsOneLineTallerRedOverTheLimitAndTheTipSaysSo) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(std::wstring(kFiguresConf) +
                                      L"task tray = 1\r\ntime auto close = 30\r\n"
                                      L"disp pos = 右下隅\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Copy(PostFormats()));
    HWND popup = WaitVisible(QUILLET_POPUP_CLASS);
    ASSERT_TRUE(popup) << "no popup";
    HWND text = GetDlgItem(popup, IDC_TXTDESCRIPTION);
    EXPECT_EQ(WindowText(text).value_or(L""), kPostReport);

    // 60 pixels and one line of the report's font, whose four lines the body shows whole.
    const RECT window = WindowRect(popup);
    const int line = LineHeight(text);
    ASSERT_GT(line, 10);
    EXPECT_EQ(window.bottom - window.top, 60 + line);
    const LRESULT fourth = SendMessageW(text, EM_LINEINDEX, 3, 0);
    ASSERT_GT(fourth, 0) << "no fourth line";
    const int fourthTop = WindowRect(text).top +
                          static_cast<short>(HIWORD(SendMessageW(text, EM_POSFROMCHAR, fourth, 0)));
    EXPECT_LE(fourthTop + line, window.bottom);

    // Red in the part of the text box that the icon column does not cover.
    RECT lines = WindowRect(text);
    lines.right = WindowRect(GetDlgItem(popup, IDC_POPUP_FR)).left;
    // Clear of the rounded corners, where the screen behind shows.
    lines.bottom = std::min(lines.bottom, window.bottom - 8);
    EXPECT_TRUE(WaitForInk(lines, true)) << "the report over the limit is not drawn in red";
    const std::wstring over = L"超過 - Quillet！ Ver0.50 -\r\n字数:35(33)";
    EXPECT_TRUE(WaitUntil([&] {
        for (const std::wstring& tip : TrayTips())
            if (tip.rfind(over, 0) == 0) return true;
        return false;
    })) << "no tip beginning with 「超過」";

    // Within the limit again: black, and the tip as usual.
    ASSERT_TRUE(Copy({AnsiText(kAiuSjis)}));
    EXPECT_EQ(WindowText(text).value_or(L""), kAiuReport);
    EXPECT_TRUE(WaitForInk(lines, false)) << "the report within the limit is not drawn in black";
    const std::wstring within = std::wstring(L"- Quillet！ Ver0.50 -\r\n") + kAiuReport;
    EXPECT_TRUE(WaitUntil([&] {
        for (const std::wstring& tip : TrayTips())
            if (tip == within) return true;
        return false;
    })) << "the tip is not the usual one within the limit";
}

bool RowTicked(HWND list, int row) {
    const LRESULT state = SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

// A real click on the tick box of the list's row `row`, scrolled into view first.
testing::AssertionResult ClickRow(HWND list, int row) {
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    const int rowHeight =
        HIWORD(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 2, MAKELPARAM(-1, -1))) -
        HIWORD(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
    if (rowHeight <= 0) return testing::AssertionFailure() << "no row height";
    const bool before = RowTicked(list, row);
    // Two clicks at one place within the double-click time would be a double-click.
    Pause(Ms(GetDoubleClickTime() + 100));
    POINT at{8, rowHeight * (row - top) + rowHeight / 2};
    ClientToScreen(list, &at);
    SetCursorPos(at.x, at.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
    if (!WaitUntil([&] { return RowTicked(list, row) != before; }, Ms(3000)))
        return testing::AssertionFailure() << "the click did not change row " << row;
    return testing::AssertionSuccess();
}

TEST_F(Figures, TheDialogsRowsAndLimitReachConfTxtAndAnUntouchedFileStaysAsItWas) {
    // All eleven lines as the program writes them, none of the new ones.
    const std::string eleven = ToSjis(
        L"form left = 1500\r\nform top = 1500\r\nform width = 3600\r\nform height = 1500\r\n"
        L"task tray = 0\r\ntime auto close = 5\r\ndisp pos = 右下隅\r\nsearch string = \r\n"
        L"search fuzzy = 0\r\ncustom item = 1111111\r\ncustom msg = 0\r\n");
    ASSERT_TRUE(WriteFileBytes(dir_.File(L"Conf.txt"), eleven));
    auto openDialog = [&] {
        PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_DISP, 0), 0);
        return WaitVisible(QUILLET_SETTING_CLASS);
    };
    auto resumeAndEnd = [&](HWND dialog) {
        PostMessageW(GetDlgItem(dialog, IDC_CMDCLOSE0), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        ASSERT_TRUE(quillet_->Close());
        quillet_.reset();
    };

    // A visit that touches nothing: the file byte for byte as it was.
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND dialog = openDialog();
    ASSERT_TRUE(dialog);
    HWND list = GetDlgItem(dialog, IDC_LSTCUSTOM);
    HWND limit = GetDlgItem(dialog, IDC_TXTCHARLIMIT);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 10);
    for (int row = 7; row < 10; ++row) EXPECT_FALSE(RowTicked(list, row)) << row;
    EXPECT_EQ(WindowText(limit).value_or(L""), L"0");
    ASSERT_NO_FATAL_FAILURE(resumeAndEnd(dialog));
    EXPECT_EQ(ConfBytes().value_or(""), eleven);

    // 原稿用紙 and X ticked, a limit typed: digits only reach the field.
    ASSERT_NO_FATAL_FAILURE(Start());
    dialog = openDialog();
    ASSERT_TRUE(dialog);
    list = GetDlgItem(dialog, IDC_LSTCUSTOM);
    limit = GetDlgItem(dialog, IDC_TXTCHARLIMIT);
    EXPECT_TRUE(ClickRow(list, 7));
    EXPECT_TRUE(ClickRow(list, 9));
    SendMessageW(limit, EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"4x0-0")) PostMessageW(limit, WM_CHAR, c, 1);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(limit).value_or(L"") == L"400"; }))
        << Printable(WindowText(limit).value_or(L""));
    ASSERT_NO_FATAL_FAILURE(resumeAndEnd(dialog));
    const std::string written = ConfBytes().value_or("");
    EXPECT_EQ(written, eleven + "custom item ex = 101\r\nchar limit = 400\r\n");

    // Read back: the dialog shows them, and leaving it untouched writes the same file again.
    ASSERT_NO_FATAL_FAILURE(Start());
    dialog = openDialog();
    ASSERT_TRUE(dialog);
    list = GetDlgItem(dialog, IDC_LSTCUSTOM);
    EXPECT_TRUE(RowTicked(list, 7));
    EXPECT_FALSE(RowTicked(list, 8));
    EXPECT_TRUE(RowTicked(list, 9));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_TXTCHARLIMIT)).value_or(L""), L"400");
    ASSERT_NO_FATAL_FAILURE(resumeAndEnd(dialog));
    EXPECT_EQ(ConfBytes().value_or(""), written);
}

}  // namespace
}  // namespace e2e
