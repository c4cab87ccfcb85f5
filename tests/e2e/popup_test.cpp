// The count popup and the help note of the running program, in tray mode: where the balloon
// opens, its outline, its count-down, a click that keeps it open, the reuse of one window, the
// foreground staying with the copying application, and the help note over the icon.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::string Describe(const RECT& r) {
    char text[96];
    std::snprintf(text, sizeof text, "(%ld, %ld)-(%ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

void SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// A real click: the pointer moves there, the button goes down and up.
void ClickAt(POINT p) {
    SetCursorPos(p.x, p.y);
    PumpMessages();
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void PressCopyKey() {
    std::vector<INPUT> keys(4);
    for (auto& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = 'C';
    keys[2].ki.wVk = 'C';
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_CONTROL;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

// Runs xdotool on the X side. Wine starts Unix programs but cannot wait for them: the caller
// waits for the effect instead.
bool Xdotool(const std::wstring& arguments) {
    std::wstring command = L"Z:\\usr\\bin\\xdotool " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(L"Z:\\usr\\bin\\xdotool", command.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &info))
        return false;
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    return true;
}

std::wstring Number(long n) {
    return std::to_wstring(n);
}

// kAbc's report with the search string "l" that these tests set.
const std::wstring kAbcReportL = std::wstring(kAbcReport) + L"l:0";

// The help note is 315 x 150 pixels, taller only when the font's lines are taller than designed
// (the IPA fonts that stand in for ＭＳ ゴシック here).
bool NoteSized(const RECT& r) {
    const long height = r.bottom - r.top;
    return r.right - r.left == 315 && height >= 150 && height <= 175;
}
bool AtPointer(const RECT& note, POINT pointer) {
    return NoteSized(note) && note.right == pointer.x && note.bottom == pointer.y;
}

class PopupE2E : public QuilletE2E {
protected:
    // Tray mode without the start notice, the popup at `dispPos`, search string "l" so that the
    // worked example gives its full report.
    void StartTray(std::wstring_view dispPos, int seconds = 5) {
        WriteConf(L"task tray = 1\r\ncustom msg = 0\r\ntime auto close = " +
                  std::to_wstring(seconds) + L"\r\ndisp pos = " + std::wstring(dispPos) +
                  L"\r\nsearch string = l\r\n");
        Start();
    }
    void Restart(std::wstring_view dispPos, int seconds = 5) {
        if (quillet_) {
            ASSERT_TRUE(quillet_->Close());
        }
        quillet_.reset();
        StartTray(dispPos, seconds);
    }

    std::vector<HWND> Visible(const wchar_t* cls) {
        std::vector<HWND> shown;
        if (!quillet_) return shown;
        for (HWND h : TopLevelWindows(quillet_->process().pid(), cls))
            if (IsWindowVisible(h)) shown.push_back(h);
        return shown;
    }
    HWND Popup() {
        const auto shown = Visible(QUILLET_POPUP_CLASS);
        return shown.empty() ? nullptr : shown.front();
    }
    HWND Note() {
        const auto shown = Visible(QUILLET_HELP_CLASS);
        return shown.empty() ? nullptr : shown.front();
    }
    HWND WaitPopup() {
        HWND popup = nullptr;
        WaitUntil([&] { return (popup = Popup()) != nullptr; });
        return popup;
    }

    // Copies `text` as the other application; the popup it brings, or null.
    HWND CopyAndWaitPopup(const std::wstring& text) {
        if (!Copy({UnicodeText(text)})) return nullptr;
        return WaitPopup();
    }

    static HWND Column(HWND popup) { return GetDlgItem(popup, IDC_POPUP_FR); }
    static HWND Text(HWND popup) { return GetDlgItem(popup, IDC_TXTDESCRIPTION); }
    static HWND Icon(HWND popup) { return GetDlgItem(Column(popup), IDC_POPUP_IMG); }
    static HWND CloseButton(HWND popup) { return GetDlgItem(Column(popup), IDC_POPUP_CMDCLOSE); }
    static std::wstring TextOf(HWND hwnd) { return WindowText(hwnd).value_or(L"(no answer)"); }
    static std::wstring Seconds(HWND popup) {
        return TextOf(GetDlgItem(Column(popup), IDC_POPUP_LBLTIME));
    }

    // Moves the pointer onto the popup's icon, coming from its "×" below it (which has no
    // handler), and waits for `done`. Each move is given a second before the next: the note opens
    // wherever the pointer is when the program gets to it, so moving on too early (a loaded
    // machine) would open it at the "×".
    static bool HoverIconUntil(HWND popup, const std::function<bool()>& done) {
        const POINT from = Centre(WindowRect(CloseButton(popup)));
        const POINT at = Centre(WindowRect(Icon(popup)));
        for (int round = 0; round < 5; ++round) {
            SetCursorPos(from.x, from.y);
            SetCursorPos(at.x, at.y);
            if (WaitUntil(done, Ms(1000))) return true;
        }
        return false;
    }

    // The popup with the help note open over its icon.
    testing::AssertionResult OpenNoteOverTheIcon(HWND& popup, HWND& note,
                                                 const std::wstring& text = kWorked) {
        popup = CopyAndWaitPopup(text);
        if (!popup) return testing::AssertionFailure() << "no popup";
        if (!HoverIconUntil(popup, [&] { return (note = Note()) != nullptr; }))
            return testing::AssertionFailure() << "no help note over the icon";
        return testing::AssertionSuccess();
    }
};

using PopupPlacement = PopupE2E;

TEST_F(PopupPlacement, EachCornerAndThePointerByTheStrictTests) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(sw, 1024) << "the test screen";
    ASSERT_EQ(sh, 768) << "the test screen";
    struct Case {
        const wchar_t* dispPos;
        POINT pointer;
        RECT expected;  // the worked example: 230 pixels wide
    };
    const std::vector<Case> cases = {
        {L"左上隅", {600, 300}, {20, 20, 250, 80}},
        {L"右上隅", {600, 300}, {774, 20, 1004, 80}},
        {L"右下隅", {600, 300}, {774, 688, 1004, 748}},
        {L"ポインタ", {600, 300}, {370, 220, 600, 300}},  // left and above
        {L"中央", {100, 50}, {100, 50, 330, 130}},        // right and below
        {L"ポインタ", {230, 300}, {230, 220, 460, 300}},  // x equal to the width: right
        {L"", {600, 80}, {370, 80, 600, 160}},            // y equal to the height: below
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.dispPos) + " pointer " + std::to_string(c.pointer.x) + "," +
                     std::to_string(c.pointer.y));
        ASSERT_NO_FATAL_FAILURE(Restart(c.dispPos));
        SetCursorPos(c.pointer.x, c.pointer.y);
        HWND popup = CopyAndWaitPopup(kWorked);
        ASSERT_TRUE(popup) << "no popup after a copy in tray mode";
        EXPECT_EQ(TextOf(Text(popup)), kWorkedReport);
        const RECT r = WindowRect(popup);
        EXPECT_TRUE(SameRect(r, c.expected)) << "popup at " << Describe(r);
    }
}

using PopupShape = PopupE2E;

TEST_F(PopupShape, RegionHoldsBodyAndTailButNotTheEmptyBandOrTheCorners) {
    struct Case {
        const wchar_t* dispPos;
        POINT pointer;
        std::vector<POINT> inside, outside;  // window coordinates of a 230-pixel-wide popup
    };
    const std::vector<Case> cases = {
        // Left and above: body rows 0-59, band 60-79, the tail towards (230, 80).
        {L"ポインタ",
         {600, 300},
         {{115, 30}, {8, 8}, {221, 52}, {215, 66}, {227, 77}},
         {{0, 0}, {229, 0}, {0, 59}, {5, 70}, {115, 70}, {150, 62}}},
        // Left and below: band rows 0-19 on top, the tail towards (230, 0).
        {L"ポインタ",
         {600, 50},
         {{115, 50}, {215, 14}, {227, 3}},
         {{115, 10}, {5, 5}, {0, 20}, {229, 79}}},
        // A corner: the whole window is the rounded body.
        {L"右下隅", {600, 300}, {{115, 30}, {115, 2}, {2, 30}, {115, 57}}, {{0, 0}, {229, 59}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.dispPos) + " pointer y " + std::to_string(c.pointer.y));
        ASSERT_NO_FATAL_FAILURE(Restart(c.dispPos));
        SetCursorPos(c.pointer.x, c.pointer.y);
        HWND popup = CopyAndWaitPopup(kWorked);
        ASSERT_TRUE(popup);
        quillet::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(popup, region.get()), ERROR) << "the popup has no window region";
        for (const POINT& p : c.inside)
            EXPECT_TRUE(PtInRegion(region.get(), p.x, p.y)) << p.x << "," << p.y << " not in it";
        for (const POINT& p : c.outside)
            EXPECT_FALSE(PtInRegion(region.get(), p.x, p.y)) << p.x << "," << p.y << " in it";
    }
}

using PopupCountDown = PopupE2E;

TEST_F(PopupCountDown, SecondsCountDownInTheLabelAndThePopupClosesItself) {
    ASSERT_NO_FATAL_FAILURE(StartTray(L"右下隅", 3));
    HWND popup = CopyAndWaitPopup(kWorked);
    const auto shown = Clock::now();
    ASSERT_TRUE(popup);
    EXPECT_EQ(Seconds(popup), L"");
    EXPECT_TRUE(WaitUntil([&] { return Seconds(popup) == L"2"; })) << Printable(Seconds(popup));
    EXPECT_TRUE(WaitUntil([&] { return Seconds(popup) == L"1"; })) << Printable(Seconds(popup));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(popup); }));
    EXPECT_GT(SecondsSince(shown), 2.0) << "closed too early";
    EXPECT_EQ(Popup(), nullptr);
}

TEST_F(PopupCountDown, ZeroSecondsClosesAboutOneSecondAfterShowing) {
    ASSERT_NO_FATAL_FAILURE(StartTray(L"右下隅", 0));
    HWND popup = CopyAndWaitPopup(kWorked);
    const auto shown = Clock::now();
    ASSERT_TRUE(popup);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(popup); }));
    const double open = SecondsSince(shown);
    EXPECT_GT(open, 0.5);
    EXPECT_LT(open, 5.0);
    // A later copy loads a fresh popup.
    HWND again = CopyAndWaitPopup(kAbc);
    ASSERT_TRUE(again);
    EXPECT_EQ(TextOf(Text(again)), kAbcReportL);
}

using PopupKeepOpen = PopupE2E;

TEST_F(PopupKeepOpen, ClickInTheTextKeepsItOpenSelectsAllAndItsCopyCountsNothing) {
    ASSERT_NO_FATAL_FAILURE(StartTray(L"右下隅", 2));
    HWND popup = CopyAndWaitPopup(kWorked);
    ASSERT_TRUE(popup);
    HWND text = Text(popup);
    ClickAt(Centre(WindowRect(text)));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == popup; }))
        << "a click in the text activates the popup";
    DWORD_PTR selection = 0;
    ASSERT_TRUE(WaitUntil([&] {
        SendMessageTimeoutW(text, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 1000, &selection);
        return LOWORD(selection) == 0 && HIWORD(selection) == std::wstring(kWorkedReport).size();
    })) << "selection "
        << LOWORD(selection) << "-" << HIWORD(selection);

    // The copy key copies the whole report; the program, in front, counts nothing.
    const int before = sync_.notifications();
    PressCopyKey();
    ASSERT_TRUE(WaitUntil([&] { return sync_.notifications() > before; }));
    EXPECT_EQ(ClipboardText(app_.hwnd()).value_or(L""), kWorkedReport);
    EXPECT_EQ(TextOf(text), kWorkedReport) << "the copied report was counted";

    // With two seconds to go, only the click keeps it: still there well after.
    WaitUntil([] { return false; }, Ms(3000));
    ASSERT_TRUE(IsWindowVisible(popup)) << "closed although its text was clicked";
    EXPECT_EQ(Seconds(popup), L"");

    // A later copy elsewhere replaces the text and still does not close it.
    ASSERT_EQ(CopyAndWaitPopup(kAbc), popup);
    EXPECT_EQ(TextOf(text), kAbcReportL);
    WaitUntil([] { return false; }, Ms(3000));
    EXPECT_TRUE(IsWindowVisible(popup)) << "closed after the later copy";
    // Its "×" closes it.
    SendMessageW(CloseButton(popup), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(popup); }));
}

using PopupReuse = PopupE2E;

TEST_F(PopupReuse, SecondCopyReLaysOutTheSameWindowAndRestartsTheCount) {
    ASSERT_NO_FATAL_FAILURE(StartTray(L"ポインタ", 4));
    SetCursorPos(600, 300);
    HWND popup = CopyAndWaitPopup(kWorked);
    ASSERT_TRUE(popup);
    // Two ticks on: "2" means two seconds to go.
    ASSERT_TRUE(WaitUntil([&] { return Seconds(popup) == L"2"; }));

    SetCursorPos(700, 500);
    ASSERT_TRUE(Copy({UnicodeText(kAbc)}));
    EXPECT_EQ(Popup(), popup) << "a second window appeared";
    EXPECT_EQ(TextOf(Text(popup)), kAbcReportL);
    // 「全SP:0 半SP:0 タブ:0 l:0」 is 24 bytes: 6 x 24 + 80 pixels wide, left of and above the
    // pointer.
    EXPECT_TRUE(SameRect(WindowRect(popup), RECT{700 - 224, 420, 700, 500}))
        << Describe(WindowRect(popup));
    // Restarted from the full four seconds: the label starts again and reaches 3, which the old
    // count (at 2) never would.
    EXPECT_EQ(Seconds(popup), L"");
    EXPECT_TRUE(WaitUntil([&] { return Seconds(popup) == L"3"; })) << Printable(Seconds(popup));
}

using PopupFocus = PopupE2E;

TEST_F(PopupFocus, TheCopyingApplicationKeepsTheForegroundAndThePopupIsATopmostBalloon) {
    ASSERT_NO_FATAL_FAILURE(StartTray(L"右下隅"));
    HWND popup = CopyAndWaitPopup(kWorked);
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetForegroundWindow(), app_.hwnd());
    WaitUntil([] { return false; }, Ms(300));
    EXPECT_EQ(GetForegroundWindow(), app_.hwnd()) << "the popup took the foreground later";
    const LONG_PTR style = GetWindowLongPtrW(popup, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(popup, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "not in the task bar";
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ(TextOf(popup), L"文字数カウントポップアップ");
    EXPECT_EQ(TextOf(CloseButton(popup)), L"×");
    // The column sits inside the text's top-right corner, 11 or 12 pixels from the right edge.
    const RECT column = WindowRect(Column(popup)), text = WindowRect(Text(popup));
    const RECT window = WindowRect(popup);
    EXPECT_EQ(column.right, text.right);
    EXPECT_EQ(column.top, text.top);
    EXPECT_NEAR(window.right - column.right, 11.5, 0.5);
    EXPECT_EQ(column.right - column.left, 19);
}

using HelpNoteHover = PopupE2E;

TEST_F(HelpNoteHover, OpensOverTheIconAtThePointerAndClosesOverTheText) {
    ASSERT_NO_FATAL_FAILURE(StartTray(L"右下隅", 30));
    HWND popup = nullptr, note = nullptr;
    ASSERT_TRUE(OpenNoteOverTheIcon(popup, note));
    POINT pointer{};
    GetCursorPos(&pointer);
    // The bottom-right corner at the pointer: the pointer stays over the icon.
    EXPECT_TRUE(AtPointer(WindowRect(note), pointer))
        << Describe(WindowRect(note)) << " pointer " << pointer.x << "," << pointer.y;
    const std::wstring help = TextOf(GetDlgItem(note, IDC_HELP_LBLHELP));
    EXPECT_NE(help.find(L"字数　:総文字数\r\n改行　:改行コード=CrLf\r\n"), std::wstring::npos);
    EXPECT_NE(help.find(L"\r\nl   　:指定文字列の個数\r\n\r\n"), std::wstring::npos)
        << Printable(help);
    EXPECT_EQ(GetForegroundWindow(), app_.hwnd()) << "the note took the foreground";
    // Pale green behind the text, once painted.
    const RECT r = WindowRect(note);
    COLORREF corner = CLR_INVALID;
    WaitUntil(
        [&] {
            const auto c = ScreenColours(RECT{r.left + 1, r.bottom - 2, r.left + 2, r.bottom - 1});
            corner = c.size() == 1 ? c[0] : CLR_INVALID;
            return corner == RGB(240, 255, 240);
        },
        Ms(2000));
    EXPECT_EQ(corner, RGB(240, 255, 240));

    // Repeated moves over the icon leave it where it is.
    const RECT first = WindowRect(note);
    HoverIconUntil(popup, [] { return true; });
    EXPECT_EQ(Note(), note);
    EXPECT_TRUE(SameRect(WindowRect(note), first));

    // Onto the report text, left of and below the note: closed. (The text box reaches below the
    // window, which clips it.)
    const RECT text = WindowRect(Text(popup));
    const LONG y = std::min(text.bottom, WindowRect(popup).bottom) - 10;
    ASSERT_GT(y, first.bottom) << "no text below the note";
    LONG x = text.left + 40;  // clear of the rounded corner
    EXPECT_TRUE(WaitUntil([&] {
        x ^= 1;  // a move each time, or no mouse message follows
        SetCursorPos(x, y);
        return Note() == nullptr;
    })) << "the note stayed open over the text";
}

using HelpNoteDrag = PopupE2E;

TEST_F(HelpNoteDrag, LeftButtonOnTheTextDragsTheNoteTheRightButtonDoesNot) {
    ASSERT_NO_FATAL_FAILURE(StartTray(L"右下隅", 30));
    HWND popup = nullptr, note = nullptr;
    ASSERT_TRUE(OpenNoteOverTheIcon(popup, note));
    const RECT before = WindowRect(note);
    const POINT grab{before.left + 60, before.top + 40};
    const std::wstring x = Number(grab.x), y = Number(grab.y);

    // The right button: nothing moves.
    ASSERT_TRUE(Xdotool(L"mousemove " + x + L" " + y + L" mousedown 3 sleep 0.2 mousemove " +
                        Number(grab.x - 60) + L" " + Number(grab.y - 30) +
                        L" sleep 0.2 mouseup 3 sleep 0.2 mousemove " + x + L" " + y))
        << "cannot run xdotool";
    WaitUntil([] { return false; }, Ms(1500));
    EXPECT_TRUE(SameRect(WindowRect(note), before)) << Describe(WindowRect(note));

    // The left button drags it by (-125, -65) from where the drag began.
    ASSERT_TRUE(Xdotool(L"mousemove " + x + L" " + y + L" mousedown 1 sleep 0.3 mousemove " +
                        Number(grab.x + 5) + L" " + Number(grab.y + 5) + L" sleep 0.3 mousemove " +
                        Number(grab.x - 60) + L" " + Number(grab.y - 30) +
                        L" sleep 0.3 mousemove " + Number(grab.x - 120) + L" " +
                        Number(grab.y - 60) + L" sleep 0.3 mouseup 1"));
    EXPECT_TRUE(WaitUntil(
        [&] {
            const RECT now = WindowRect(note);
            return now.left < before.left - 100 && now.top < before.top - 45;
        },
        Ms(8000)))
        << "the note is at " << Describe(WindowRect(note)) << ", was " << Describe(before);
    const RECT after = WindowRect(note);
    EXPECT_NEAR(after.left - before.left, -125, 12);
    EXPECT_NEAR(after.top - before.top, -65, 12);
    EXPECT_EQ(after.right - after.left, 315);
    EXPECT_EQ(Note(), note) << "dragging does not reopen it";
}

using HelpNoteClose = PopupE2E;

TEST_F(HelpNoteClose, ItsButtonThePopupClosingAndShutdownAllCloseIt) {
    ASSERT_NO_FATAL_FAILURE(StartTray(L"右下隅", 30));
    HWND popup = nullptr, note = nullptr;
    ASSERT_TRUE(OpenNoteOverTheIcon(popup, note));
    // Its own "×", 3 pixels inside the label's bottom-right corner (at 287, 126 in a note of
    // 315 x 150).
    HWND close = GetDlgItem(note, IDC_HELP_CMDCLOSE);
    const RECT r = WindowRect(note), b = WindowRect(close);
    EXPECT_TRUE(SameRect(b, RECT{r.right - 28, r.bottom - 24, r.right - 5, r.bottom - 5}))
        << Describe(b) << " in " << Describe(r);
    EXPECT_EQ(TextOf(close), L"×");
    SendMessageW(close, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(note); }));
    EXPECT_TRUE(IsWindowVisible(popup)) << "the popup closed with the note";

    // The popup closing takes the note with it.
    ASSERT_TRUE(HoverIconUntil(popup, [&] { return (note = Note()) != nullptr; }));
    SendMessageW(CloseButton(popup), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(popup) && !IsWindow(note); }));

    // Shutdown with both open ends cleanly.
    ASSERT_TRUE(OpenNoteOverTheIcon(popup, note, kAbc));
    EXPECT_TRUE(quillet_->Close()) << "the program did not end with the popup and note open";
}

TEST_F(HelpNoteClose, QuestionMarkMenuOpensItInWindowMode) {
    WriteConf(L"custom msg = 0\r\nsearch string = \r\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    SetCursorPos(700, 500);
    PostMessageW(quillet_->main(), WM_COMMAND, IDM_HELPSTR, 0);
    HWND note = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (note = Note()) != nullptr; }));
    const RECT placed = WindowRect(note);
    EXPECT_TRUE(AtPointer(placed, POINT{700, 500})) << Describe(placed);
    // Without a search string the line explains the entry with a placeholder.
    EXPECT_NE(TextOf(GetDlgItem(note, IDC_HELP_LBLHELP)).find(L"\r\nxxxx　:指定文字列の個数"),
              std::wstring::npos);
}

}  // namespace
}  // namespace e2e
