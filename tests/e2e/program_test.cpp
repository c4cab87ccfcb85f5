// Quillet.exe seen from outside: start-up, settings file, counting copies, single instance,
// the clipboard viewer chain, large and awkward clipboard texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (start != bytes.size()) lines.push_back(bytes.substr(start));  // unterminated rest
    return lines;
}

// The number after "key = ", when the line is exactly that.
std::optional<long> NumberAfter(const std::string& line, const std::string& key) {
    if (line.rfind(key, 0) != 0) return std::nullopt;
    const std::string digits = line.substr(key.size());
    if (digits.empty() || digits.find_first_not_of("-0123456789") != std::string::npos)
        return std::nullopt;
    return std::stol(digits);
}

using Startup = QuilletE2E;

TEST_F(Startup, FirstStartIsCentredWithInstructionsAndSavesTheDefaults) {
    ASSERT_FALSE(FileExists(dir_.File(L"Conf.txt")));
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND main = quillet_->main();

    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    EXPECT_EQ(WindowText(main).value_or(L""), L"Quillet！ Ver0.50");
    const LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
    const LONG_PTR ex_style = GetWindowLongPtrW(main, GWL_EXSTYLE);
    EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
    EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(style & WS_THICKFRAME) << "the main window is sizable";
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right - client.left, 240);
    EXPECT_EQ(client.bottom - client.top, 57);

    const RECT frame = WindowRect(main);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    EXPECT_NEAR(frame.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2.0, 1.0);
    EXPECT_NEAR(frame.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2.0, 1.0);

    HWND text = quillet_->description();
    ASSERT_TRUE(text) << "no control with the ID IDC_TXTDESCRIPTION";
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    const RECT box = WindowRect(text);
    EXPECT_EQ(box.left, origin.x);
    EXPECT_EQ(box.top, origin.y);
    EXPECT_EQ(box.right - box.left, 240) << "txtDescription fills the client area";
    EXPECT_EQ(box.bottom - box.top, 57);
    EXPECT_EQ(Report(), kInstructionText) << Printable(Report());

    ASSERT_TRUE(quillet_->Close()) << "the program did not end after WM_CLOSE";
    const auto conf = ConfBytes();
    ASSERT_TRUE(conf) << "no Conf.txt written on close";
    ASSERT_GE(conf->size(), 2u);
    EXPECT_EQ(conf->substr(conf->size() - 2), "\r\n");
    const auto lines = SplitLines(*conf);
    ASSERT_EQ(lines.size(), 11u) << *conf;
    // The geometry saved is the window's own, in twips (15 per pixel here).
    const auto left = NumberAfter(lines[0], "form left = ");
    const auto top = NumberAfter(lines[1], "form top = ");
    ASSERT_TRUE(left && top) << lines[0] << " / " << lines[1];
    EXPECT_NEAR(*left, frame.left * 15, 14);
    EXPECT_NEAR(*top, frame.top * 15, 14);
    EXPECT_EQ(lines[2], "form width = " + std::to_string(width * 15));
    EXPECT_EQ(lines[3], "form height = " + std::to_string(height * 15));
    EXPECT_EQ(lines[4], "task tray = 0");
    EXPECT_EQ(lines[5], "time auto close = 5");
    EXPECT_EQ(lines[6], "disp pos = " + ToSjis(L"右下隅")) << "Shift-JIS expected";
    EXPECT_EQ(lines[7], "search string = ");
    EXPECT_EQ(lines[8], "search fuzzy = 0");
    EXPECT_EQ(lines[9], "custom item = 1111111");
    EXPECT_EQ(lines[10], "custom msg = 1");
}

TEST_F(Startup, SettingsFileIsAppliedAndWrittenBackByTheEndMenu) {
    // Hand-edited: keys in other case and spacing, lines out of order, "search fuzzy" missing.
    // "task tray = 2" is window mode: only 1 selects the tray.
    ASSERT_NO_FATAL_FAILURE(WriteConf(
        L"Search String=l\r\nFORM LEFT = 1500\r\nform top = 3000\r\ncustom msg = 0\r\n"
        L"Form Width = 6000\r\nform height = 1800\r\ntask tray = 2\r\ndisp pos = ポインタ\r\n"
        L"custom item = 1111111\r\n  time auto close  =  7\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());

    const RECT frame = WindowRect(quillet_->main());
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 200);
    EXPECT_EQ(frame.right - frame.left, 400);
    EXPECT_EQ(frame.bottom - frame.top, 120);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(quillet_->main()) != FALSE; }));

    EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReport));
    EXPECT_TRUE(
        Counted({UnicodeText(kAbc)},
                L"字数:3(3) 改行:0 3byte\r\n全角:0(0) 半角:3(3)\r\n全SP:0 半SP:0 タブ:0 l:0"));
    // The same text as Shift-JIS bytes, the format the program reads.
    EXPECT_TRUE(Counted({AnsiText(ToSjis(kWorked))}, kWorkedReport));

    ASSERT_TRUE(quillet_->EndByMenu(IDM_END)) << "the program did not end after 終了";
    // Written anew: all eleven lines, canonical, the missing one at its default.
    EXPECT_EQ(ConfBytes().value_or("(no Conf.txt)"),
              ToSjis(L"form left = 1500\r\nform top = 3000\r\nform width = 6000\r\n"
                     L"form height = 1800\r\ntask tray = 2\r\ntime auto close = 7\r\n"
                     L"disp pos = ポインタ\r\nsearch string = l\r\nsearch fuzzy = 0\r\n"
                     L"custom item = 1111111\r\ncustom msg = 0\r\n"));
}

TEST_F(Startup, AMovedAndResizedWindowIsSavedAndItsTextBoxFollows) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND main = quillet_->main();
    ASSERT_TRUE(SetWindowPos(main, nullptr, 150, 120, 300, 90, SWP_NOZORDER | SWP_NOACTIVATE));
    RECT client{};
    GetClientRect(main, &client);
    ASSERT_GT(client.right, 240) << "the window did not take the new size";
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    const RECT box = WindowRect(quillet_->description());
    EXPECT_EQ(box.left, origin.x);
    EXPECT_EQ(box.top, origin.y);
    EXPECT_EQ(box.right - box.left, client.right) << "txtDescription fills the client area";
    EXPECT_EQ(box.bottom - box.top, client.bottom);

    ASSERT_TRUE(quillet_->EndByMenu(IDM_END));
    const auto lines = SplitLines(ConfBytes().value_or(""));
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "form left = 2250");
    EXPECT_EQ(lines[1], "form top = 1800");
    EXPECT_EQ(lines[2], "form width = 4500");
    EXPECT_EQ(lines[3], "form height = 1350");
}

TEST_F(Startup, LogOffSavesTheSettingsBeforeTheSessionEnds) {
    ASSERT_NO_FATAL_FAILURE(Start());
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(quillet_->main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_NORMAL, 10000, &result));
    EXPECT_NE(result, 0u) << "the program refused the log-off";
    ASSERT_TRUE(SendMessageTimeoutW(quillet_->main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                    SMTO_NORMAL, 10000, &result));
    // The system may end the process as soon as WM_ENDSESSION returns.
    const auto lines = SplitLines(ConfBytes().value_or(""));
    EXPECT_EQ(lines.size(), 11u) << "Conf.txt not saved when WM_ENDSESSION returned";
}

TEST_F(Startup, TextOnTheClipboardAtStartIsNotCounted) {
    ASSERT_TRUE(PutOnClipboard(app_.hwnd(), {UnicodeText(kWorked)}));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Responds(quillet_->main(), kWait));
    EXPECT_EQ(Report(), kInstructionText) << Printable(Report());
    // Nor was it taken as the last counted text: copying it now counts it.
    EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReportNoSearch));
}

using Counting = QuilletE2E;

TEST_F(Counting, SameTextTwiceCountsOnceButABACountsThreeTimes) {
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReportNoSearch));
    EXPECT_TRUE(Ignored({UnicodeText(kWorked)}));
    EXPECT_TRUE(Ignored({AnsiText(ToSjis(kWorked))})) << "the same text in another format";
    EXPECT_TRUE(Counted({UnicodeText(kA)}, kAReport));
    EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReportNoSearch));
    // Equal counts but another text: letter case matters for "the same text".
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
    EXPECT_TRUE(Counted({UnicodeText(L"ABC")}, kAbcReport));
}

TEST_F(Counting, ChangesWithoutTextCountNothingAndKeepTheLastText) {
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
    EXPECT_TRUE(Ignored({SmallDib()})) << "an image";
    EXPECT_TRUE(Ignored({UnicodeText(kAbc)})) << "the image must not have replaced the last text";
    EXPECT_TRUE(Ignored({PrivateFormat("not text")})) << "a private format";
    EXPECT_TRUE(Ignored({})) << "an emptied clipboard";
    EXPECT_TRUE(Ignored({UnicodeText(kAbc)}));
    // An empty text is a new last text, but nothing is shown for it.
    EXPECT_TRUE(Ignored({UnicodeText(L"")})) << "an empty text";
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
}

// Who made a copy decides, not which window is in front.
TEST_F(Counting, ACopyMadeInTheProgramCountsNothingAndAnothersCountsWhileItIsInFront) {
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
    EXPECT_TRUE(CopiedInTheProgram());
    // Not remembered either: the text counted last is still the last.
    EXPECT_TRUE(Ignored({UnicodeText(kAbc)}, quillet_->main()));
    ASSERT_TRUE(Copy({UnicodeText(kWorked)}, quillet_->main()));
    EXPECT_EQ(Report(), kWorkedReportNoSearch)
        << "another program's copy with the program in front";
}

// What a person sees: grey instructions, then the report in black, on the tooltip colour.
TEST_F(Counting, InstructionsAreGreyAndTheReportBlackOnTheTooltipColour) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND text = quillet_->description();
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(quillet_->main()) != FALSE; }));
    RECT box{};
    GetClientRect(text, &box);
    MapWindowPoints(text, nullptr, reinterpret_cast<POINT*>(&box), 2);
    const COLORREF background = GetSysColor(COLOR_INFOBK);
    struct Look {
        COLORREF most_common = 0;
        int darkest = 765;  // least red + green + blue of any pixel
    };
    auto look = [&] {
        std::map<COLORREF, int> counts;
        Look l;
        for (COLORREF c : ScreenColours(box)) {
            ++counts[c];
            l.darkest = std::min(l.darkest, GetRValue(c) + GetGValue(c) + GetBValue(c));
        }
        int most = 0;
        for (const auto& [c, n] : counts)
            if (n > most) most = n, l.most_common = c;
        return l;
    };
    // Light grey (192, 192, 192) text: nothing darker than it, but something is drawn.
    Look before;
    EXPECT_TRUE(WaitUntil([&] {
        before = look();
        return before.most_common == background && before.darkest < 3 * 230;
    })) << "background "
        << std::hex << before.most_common << ", darkest " << std::dec << before.darkest;
    EXPECT_GE(before.darkest, 3 * 192 - 30) << "the instructions are drawn darker than grey";

    EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReportNoSearch));
    Look after;
    EXPECT_TRUE(WaitUntil([&] {
        after = look();
        return after.most_common == background && after.darkest <= 3 * 40;
    })) << "background "
        << std::hex << after.most_common << ", darkest " << std::dec << after.darkest
        << ": the report is not drawn in black";
}

TEST_F(Counting, AwkwardClipboardTextIsReadSafely) {
    ASSERT_NO_FATAL_FAILURE(Start());
    {
        // Another program holds the clipboard for a moment when the change reaches the program.
        Viewer holder(L"viewer holding the clipboard");
        holder.hold_clipboard = Ms(50);
        holder.Join();
        // Looked at again once it is free, which may be after the change was passed on.
        ASSERT_TRUE(PutMarker());
        ASSERT_TRUE(Copy({UnicodeText(kWorked)}));
        EXPECT_TRUE(WaitUntil([&] { return Report() == kWorkedReportNoSearch; }))
            << "clipboard busy for 50 ms: " << Printable(Report());
    }
    // A text that ends in half a Shift-JIS character: any report, but the program lives on.
    ASSERT_TRUE(PutMarker());
    ASSERT_TRUE(Copy({AnsiText("xyz\x82")}));
    EXPECT_NE(Report(), kMarker);
    EXPECT_TRUE(Responds(quillet_->main(), kWait));
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
}

TEST_F(Counting, TwentyMebibytesAreCountedWithoutFreezing) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"search string = l\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    // The worked example and a line break, 24 bytes in Shift-JIS, repeated to 20 MiB.
    const std::string unit = ToSjis(std::wstring(kWorked) + L"\r\n");
    ASSERT_EQ(unit.size(), 24u);
    const long n = 20L * 1024 * 1024 / 24;
    std::string text;
    text.reserve(unit.size() * n + 1);
    for (long i = 0; i < n; ++i) text += unit;
    // Per unit: 18 characters (13 net), 2 line breaks, 4 full-width (3 net), 11 half-width
    // (10 net), one space of each kind, one tab, two "l".
    wchar_t expected[200];
    swprintf(expected, 200,
             L"字数:%ld(%ld) 改行:%ld %ldbyte\r\n全角:%ld(%ld) 半角:%ld(%ld)\r\n"
             L"全SP:%ld 半SP:%ld タブ:%ld l:%ld",
             18 * n, 13 * n, 2 * n, 24 * n, 4 * n, 3 * n, 11 * n, 10 * n, n, n, n, 2 * n);

    ASSERT_TRUE(PutMarker());
    const auto copied = Clock::now();
    ASSERT_TRUE(Copy({AnsiText(text)}));
    const auto seconds = std::chrono::duration<double>(Clock::now() - copied).count();
    RecordProperty("seconds_to_report", std::to_string(seconds));
    EXPECT_EQ(Report(), expected);
    // A generous bound for "no more than a moment", not a speed figure.
    EXPECT_LT(seconds, 15.0) << "the program was busy counting for " << seconds << " s";
    EXPECT_TRUE(Responds(quillet_->main(), Ms(2000)));
}

using SingleInstance = QuilletE2E;

// Starts a second copy and expects its message box, which the test dismisses; the copy must end
// without a main window and without touching any settings file.
void ExpectRefusedStart(const std::wstring& exe, const std::wstring& message) {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    Process second;
    ASSERT_TRUE(second.Start(exe, folder));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND hwnd : TopLevelWindows(second.pid(), L"#32770"))
            if (IsWindowVisible(hwnd)) box = hwnd;
        return box != nullptr || !second.Running();
    }));
    ASSERT_TRUE(box) << "the second copy ended without a message box";
    EXPECT_TRUE(TopLevelWindows(second.pid(), QUILLET_MAIN_CLASS).empty())
        << "the second copy made a main window";
    EXPECT_EQ(WindowText(box).value_or(L""), L"起動中！");

    bool message_found = false;
    for (HWND label : ChildWindows(box, L"Static")) {
        if (!IsWindowVisible(label)) continue;
        if ((GetWindowLongPtrW(label, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            DWORD_PTR icon = 1;
            SendMessageTimeoutW(label, STM_GETICON, 0, 0, SMTO_NORMAL, 5000, &icon);
            EXPECT_EQ(icon, 0u) << "the message box shows an icon";
        }
        if (WindowText(label).value_or(L"") == message) message_found = true;
    }
    EXPECT_TRUE(message_found) << "no label reads " << Printable(message);
    std::vector<HWND> buttons;
    for (HWND button : ChildWindows(box, L"Button"))
        if (IsWindowVisible(button)) buttons.push_back(button);
    ASSERT_EQ(buttons.size(), 1u) << "only an OK button";
    EXPECT_EQ(GetDlgCtrlID(buttons[0]), IDOK);
    // Seen, not merely there: the box is in front of the running copy's topmost window.
    RECT ok{};
    GetWindowRect(buttons[0], &ok);
    const POINT centre{(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(centre), buttons[0])
        << "the OK button is hidden under another window";
    EXPECT_TRUE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);

    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(buttons[0]));
    EXPECT_TRUE(second.WaitExit()) << "the second copy did not end after OK";
}

struct FileState {
    std::optional<std::string> bytes;
    std::optional<FILETIME> written;
    bool operator==(const FileState& o) const {
        return bytes == o.bytes && written.has_value() == o.written.has_value() &&
               (!written || CompareFileTime(&*written, &*o.written) == 0);
    }
};
FileState StateOf(const std::wstring& path) {
    return {ReadFileBytes(path), LastWriteTime(path)};
}

TEST_F(SingleInstance, SecondCopyShowsTheMessageEndsAndLeavesConfAlone) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"search string = l\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND main = quillet_->main();

    // A second copy in another folder, with a settings file of its own that it must not touch.
    TempDir other;
    const std::wstring other_exe = other.File(L"Quillet.exe");
    ASSERT_TRUE(CopyFileW(exe_.c_str(), other_exe.c_str(), FALSE));
    const std::wstring other_conf = other.File(L"Conf.txt");
    ASSERT_TRUE(WriteFileBytes(other_conf, "form left = 15\r\nsearch string = x\r\n"));
    ASSERT_TRUE(SetLastWriteTime(other_conf, FILETIME{0xD53E8000, 0x01D5C03B}));  // 2020
    const FileState other_before = StateOf(other_conf);
    ASSERT_TRUE(SetLastWriteTime(dir_.File(L"Conf.txt"), FILETIME{0xD53E8000, 0x01D5C03B}));
    const FileState own_before = StateOf(dir_.File(L"Conf.txt"));

    ASSERT_NO_FATAL_FAILURE(
        ExpectRefusedStart(other_exe, L"Quillet！(Quillet) は既に起動中です！"));
    EXPECT_TRUE(StateOf(other_conf) == other_before) << "Conf.txt of the second copy changed";
    // The same executable file started again.
    ASSERT_NO_FATAL_FAILURE(ExpectRefusedStart(exe_, L"Quillet！(Quillet) は既に起動中です！"));
    EXPECT_TRUE(StateOf(dir_.File(L"Conf.txt")) == own_before) << "Conf.txt of the first changed";

    // The first one is undisturbed.
    EXPECT_TRUE(quillet_->process().Running());
    EXPECT_EQ(TopLevelWindows(quillet_->process().pid(), QUILLET_MAIN_CLASS),
              std::vector<HWND>{main});
    EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReport));
}

TEST_F(SingleInstance, MessageNamesTheExecutableUnderItsOwnName) {
    const std::wstring renamed = dir_.File(L"Kazoe.exe");
    ASSERT_TRUE(MoveFileW(exe_.c_str(), renamed.c_str()));
    exe_ = renamed;
    ASSERT_NO_FATAL_FAILURE(Start());
    TempDir other;
    const std::wstring other_exe = other.File(L"Kazoe.exe");
    ASSERT_TRUE(CopyFileW(exe_.c_str(), other_exe.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(ExpectRefusedStart(other_exe, L"Quillet！(Kazoe) は既に起動中です！"));
    EXPECT_FALSE(FileExists(other.File(L"Conf.txt")));
}

using ClipboardChain = QuilletE2E;

TEST_F(ClipboardChain, ViewersBeforeAndAfterTheProgramGetEveryNotification) {
    // Chain: after -> program -> before -> sync_.
    Viewer before(L"viewer joined just before the program");
    before.Join();
    std::wstring report_when_notified;
    ASSERT_NO_FATAL_FAILURE(Start());
    before.on_notify = [&] { report_when_notified = Report(); };
    Viewer after(L"viewer joined after the program");
    after.Join();

    auto expect_all_notified = [&](const char* what) {
        const int a = after.notifications(), b = before.notifications(), s = sync_.notifications();
        return [=, &after, &before, this] {
            EXPECT_GE(after.notifications(), a + 1) << what;
            EXPECT_EQ(after.notifications() - a, before.notifications() - b) << what;
            EXPECT_EQ(after.notifications() - a, sync_.notifications() - s) << what;
        };
    };
    {
        auto check = expect_all_notified("a counted text");
        EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReportNoSearch));
        check();
        // The next viewer hears of the change only after the report is shown.
        EXPECT_EQ(report_when_notified, kWorkedReportNoSearch) << Printable(report_when_notified);
    }
    {
        auto check = expect_all_notified("the same text again");
        EXPECT_TRUE(Ignored({UnicodeText(kWorked)}));
        check();
    }
    {
        auto check = expect_all_notified("an image");
        EXPECT_TRUE(Ignored({SmallDib()}));
        check();
    }
    {
        auto check = expect_all_notified("a copy made in the program");
        EXPECT_TRUE(CopiedInTheProgram());
        check();
    }
    ASSERT_TRUE(quillet_->Close());
    EXPECT_EQ(after.next(), before.hwnd()) << "the program left the chain through its viewer";
    {
        auto check = expect_all_notified("a copy after the program ended");
        EXPECT_TRUE(Copy({UnicodeText(kA)}));
        check();
    }
}

TEST_F(ClipboardChain, ViewersLeavingAnywhereKeepTheChainIntact) {
    // Chain: later -> program -> next -> further -> sync_.
    Viewer further(L"viewer further down"), next(L"the program's next viewer");
    further.Join();
    next.Join();
    ASSERT_NO_FATAL_FAILURE(Start());
    Viewer later(L"viewer joined after the program");
    later.Join();

    auto counts = [&] {
        return std::vector<int>{later.notifications(), next.notifications(),
                                further.notifications()};
    };
    // A viewer further down leaves: the program passes the chain change on to its next viewer,
    // which then links past the leaving one.
    further.Leave();
    auto before = counts();
    EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReportNoSearch));
    EXPECT_EQ(counts(), (std::vector<int>{before[0] + 1, before[1] + 1, before[2]}))
        << "later, next, further";

    // The program's next viewer leaves: the program links past it.
    next.Leave();
    before = counts();
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
    EXPECT_EQ(counts(), (std::vector<int>{before[0] + 1, before[1], before[2]}))
        << "later, next, further";

    // The viewer in front of the program leaves; the program is first in the chain.
    later.Leave();
    before = counts();
    EXPECT_TRUE(Counted({UnicodeText(kA)}, kAReport));
    EXPECT_EQ(counts(), before);

    ASSERT_TRUE(quillet_->Close());
    EXPECT_EQ(GetClipboardViewer(), sync_.hwnd()) << "the program left the chain";
    EXPECT_TRUE(Copy({UnicodeText(kWorked)}));
}

// A next viewer that closes the program from inside its notification: the close runs while the
// program waits for that viewer, and must end the program cleanly once the wait is over.
TEST_F(ClipboardChain, ACloseSentByTheNextViewerDuringItsNoticeEndsTheProgramCleanly) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const HWND main = quillet_->main();
    bool sent = false, alive_inside_the_notice = false;
    sync_.on_notify = [&] {
        if (std::exchange(sent, true)) return;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(main, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &ignored);
        // The program is still waiting for this notification to return: its window, whose
        // procedure is on that stack, must not have been destroyed under it.
        alive_inside_the_notice = IsWindow(main) != FALSE;
    };
    ASSERT_TRUE(Copy({UnicodeText(kWorked)}));
    ASSERT_TRUE(sent);
    EXPECT_TRUE(alive_inside_the_notice) << "the window was destroyed during the pass-on";
    ASSERT_TRUE(quillet_->process().WaitExit()) << "the program did not end";
    DWORD code = 1;
    GetExitCodeProcess(quillet_->process().handle(), &code);
    EXPECT_EQ(code, 0u) << std::hex << "exit code 0x" << code;
    EXPECT_EQ(SplitLines(ConfBytes().value_or("")).size(), 11u) << "Conf.txt not saved";
    sync_.on_notify = nullptr;
    EXPECT_EQ(GetClipboardViewer(), sync_.hwnd()) << "the program did not leave the chain";
}

using XSide = QuilletE2E;

// Run by xclip_test.sh, which copies on the X side each time a file "copy-N" appears in the
// hand-shake folder and then writes "copied-N".
//
// An X-side copy reaches the program only through Wine's clipboard bridge, which may poll, and on
// a bare X server the Windows foreground can drift while it does (the program then rightly
// ignores the change). So a copy that was not counted is made again, with the other application
// brought back to the front first, a few times at most.
TEST_F(XSide, CopyMadeWithXclipIsCounted) {
    if (HandshakeDir().empty()) GTEST_SKIP() << "needs --handshake=DIR from xclip_test.sh";
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"search string = l\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(PutMarker());
    const std::wstring expected =
        L"字数:16(13) 改行:0 20byte\r\n全角:4(3) 半角:11(10)\r\n全SP:1 半SP:1 タブ:1 l:2";
    constexpr int kAttempts = 3;
    bool counted = false;
    for (int attempt = 1; attempt <= kAttempts && !counted; ++attempt) {
        ASSERT_TRUE(app_.Activate());
        const int before = sync_.notifications();
        const std::wstring n = std::to_wstring(attempt);
        ASSERT_TRUE(WriteFileBytes(HandshakeDir() + L"\\copy-" + n, ""));
        ASSERT_TRUE(
            WaitUntil([&] { return FileExists(HandshakeDir() + L"\\copied-" + n); }, Ms(30000)))
            << "xclip_test.sh did not copy";
        // Wine may look at the X clipboard only every two seconds.
        const bool changed = WaitUntil([&] { return sync_.notifications() > before; }, Ms(10000));
        counted = WaitUntil([&] { return Report() == expected; }, Ms(changed ? 5000 : 1));
        if (!counted) {
            std::printf(
                "attempt %d: %d clipboard change(s) reached Wine, the driver was %sin front\n",
                attempt, sync_.notifications() - before,
                GetForegroundWindow() == app_.hwnd() ? "" : "not ");
        }
    }
    EXPECT_TRUE(counted) << "txtDescription shows " << Printable(Report())
                         << "\n  the clipboard holds "
                         << Printable(ClipboardText(app_.hwnd()).value_or(L"(no text)"));
}

}  // namespace
}  // namespace e2e
