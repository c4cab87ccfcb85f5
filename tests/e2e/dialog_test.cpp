// The settings dialog seen from outside: opened as the menu and the tray icon open it, driven by
// button presses, picks from its lists and clicks, and judged by its windows and Conf.txt.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

// A Conf.txt with the notices off (they only slow a test down); the rest as given.
std::wstring ConfWith(std::wstring_view taskTray, std::wstring_view more = L"") {
    return L"form left = 1500\r\nform top = 1500\r\nform width = 3600\r\nform height = 1500\r\n"
           L"task tray = " +
           std::wstring(taskTray) + L"\r\n" + std::wstring(more) + L"custom msg = 0\r\n";
}

// The value of the line "key = value" in Conf.txt's bytes, decoded.
std::optional<std::wstring> ConfValue(const std::string& conf, const std::string& key) {
    const std::string start = key + " = ";
    for (size_t at = 0; at < conf.size();) {
        size_t end = conf.find("\r\n", at);
        if (end == std::string::npos) end = conf.size();
        const std::string line = conf.substr(at, end - at);
        if (line.rfind(start, 0) == 0) return FromSjis(line.substr(start.size()));
        at = end + 2;
    }
    return std::nullopt;
}

RECT InClient(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int OuterHeight(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r.bottom - r.top;
}

int ClientHeight(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r.bottom;
}

bool Shown(HWND hwnd) {
    return hwnd && IsWindowVisible(hwnd);
}

bool ItemTicked(HWND list, int i) {
    const LRESULT state = SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

class DialogTest : public QuilletE2E {
protected:
    void StartWith(const std::wstring& conf) {
        ASSERT_NO_FATAL_FAILURE(WriteConf(conf));
        ASSERT_NO_FATAL_FAILURE(Start());
    }

    // The settings flow as the menu bar's 設定 starts it.
    HWND OpenByMenu() {
        PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_DISP, 0), 0);
        return WaitForDialog();
    }
    // The same as the shell reports a double-click on the tray icon.
    HWND OpenByTray() {
        PostMessageW(quillet_->main(), QUILLET_TRAY_CALLBACK, QUILLET_TRAY_ID, WM_LBUTTONDBLCLK);
        return WaitForDialog();
    }
    HWND WaitForDialog() {
        HWND dialog = nullptr;
        WaitUntil([&] {
            for (HWND hwnd : TopLevelWindows(quillet_->process().pid(), QUILLET_SETTING_CLASS))
                if (IsWindowVisible(hwnd)) dialog = hwnd;
            return dialog != nullptr;
        });
        return dialog;
    }

    // Presses the dialog's button with this caption and waits until the dialog has gone.
    // `doubleClickBehind`: a double-click on the icon queued right behind the press.
    testing::AssertionResult Press(HWND dialog, const std::wstring& caption,
                                   bool doubleClickBehind = false) {
        HWND button = nullptr;
        for (HWND b : ChildWindows(dialog, L"Button"))
            if (WindowText(b).value_or(L"") == caption && IsWindowVisible(b)) button = b;
        if (!button)
            return testing::AssertionFailure() << "no visible button " << Printable(caption);
        PostMessageW(button, BM_CLICK, 0, 0);
        if (doubleClickBehind)
            PostMessageW(quillet_->main(), QUILLET_TRAY_CALLBACK, QUILLET_TRAY_ID,
                         WM_LBUTTONDBLCLK);
        if (!WaitUntil([&] { return !IsWindow(dialog); }))
            return testing::AssertionFailure() << "the dialog stayed after " << Printable(caption);
        return testing::AssertionSuccess();
    }

    // A pick from a combo box's list, as the list reports a mouse pick.
    static void Pick(HWND dialog, int id, int index) {
        HWND combo = GetDlgItem(dialog, id);
        SendMessageW(combo, CB_SETCURSEL, index, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }

    // A click on the tray box: the dialog hears of it as of a mouse click.
    static void ClickTrayBox(HWND dialog) {
        SendMessageW(GetDlgItem(dialog, IDC_CHKTASKTRAY), BM_CLICK, 0, 0);
    }

    // A real mouse click on the tick box of the list's item i, scrolled into view first.
    static testing::AssertionResult ClickItemBox(HWND dialog, int i) {
        HWND list = GetDlgItem(dialog, IDC_LSTCUSTOM);
        const bool before = ItemTicked(list, i);
        SendMessageW(list, LVM_ENSUREVISIBLE, i, FALSE);
        const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
        // Two clicks at one place within the double-click time would be a double-click.
        Pause(Ms(GetDoubleClickTime() + 100));
        // Rows are equally high: the view of two rows is one row taller than that of one.
        const int rowHeight =
            HIWORD(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 2, MAKELPARAM(-1, -1))) -
            HIWORD(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
        if (rowHeight <= 0) return testing::AssertionFailure() << "no row height";
        POINT at{8, rowHeight * (i - top) + rowHeight / 2};
        ClientToScreen(list, &at);
        SetCursorPos(at.x, at.y);
        INPUT clicks[2] = {};
        clicks[0].type = clicks[1].type = INPUT_MOUSE;
        clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, clicks, sizeof(INPUT));
        if (!WaitUntil([&] { return ItemTicked(list, i) != before; }, Ms(3000)))
            return testing::AssertionFailure() << "the click did not change item " << i;
        return testing::AssertionSuccess();
    }

    std::wstring ConfOf(const std::string& key) {
        const auto conf = ConfBytes();
        if (!conf) return L"(no Conf.txt)";
        return ConfValue(*conf, key)
            .value_or(L"(no line " + std::wstring(key.begin(), key.end()) + L")");
    }
};

using DialogFlow = DialogTest;

TEST_F(DialogFlow, WindowModeToTrayWithTheBoxTickedAndNoCopyCounted) {
    ASSERT_NO_FATAL_FAILURE(StartWith(ConfWith(L"0")));
    HWND main = quillet_->main();
    HWND dialog = OpenByMenu();
    ASSERT_TRUE(dialog) << "no settings dialog after 設定";

    EXPECT_EQ(WindowText(dialog).value_or(L""), L"Quillet！ Ver0.50");
    EXPECT_FALSE(IsWindowEnabled(main)) << "the main window takes no commands meanwhile";
    const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW) << "a task-bar button";
    EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindow(dialog, GW_OWNER));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
    RECT frame{};
    GetWindowRect(dialog, &frame);
    EXPECT_NEAR(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2.0, 1);
    EXPECT_NEAR(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 296) / 2.0, 1);

    // Copies while the dialog is open are never counted, then or afterwards.
    EXPECT_TRUE(Ignored({UnicodeText(kWorked)}));

    ClickTrayBox(dialog);
    EXPECT_TRUE(Shown(GetDlgItem(dialog, IDC_FRPOS)));
    EXPECT_FALSE(Shown(GetDlgItem(dialog, IDC_CMDCLOSE1)))
        << "終了 only after a return to the tray";
    ASSERT_TRUE(Press(dialog, L"再開"));

    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "the main window stays";
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(quillet_->WaitWatching()) << "the watch did not start again";
    // The text copied meanwhile is still on the clipboard. Counted now, it would show where tray
    // mode shows counts: a popup and the icon's tip.
    EXPECT_FALSE(WaitUntil(
        [&] { return !TopLevelWindows(quillet_->process().pid(), QUILLET_POPUP_CLASS).empty(); },
        Ms(1500)))
        << "the text copied meanwhile was counted";
    const std::vector<std::wstring> tips = TrayTips();
    EXPECT_NE(std::find(tips.begin(), tips.end(), L"Quillet！ Ver0.50"), tips.end())
        << "the icon's tip is not the title any more";
    ASSERT_TRUE(quillet_->Close());
    EXPECT_EQ(ConfOf("task tray"), L"1");
}

TEST_F(DialogFlow, TrayModeToWindowWithTheBoxCleared) {
    ASSERT_NO_FATAL_FAILURE(StartWith(ConfWith(L"1")));
    HWND main = quillet_->main();
    EXPECT_FALSE(IsWindowVisible(main));
    HWND dialog = OpenByTray();
    ASSERT_TRUE(dialog) << "no settings dialog after a double-click on the icon";
    EXPECT_EQ(OuterHeight(dialog), 380);
    EXPECT_TRUE(Shown(GetDlgItem(dialog, IDC_FRPOS)));
    EXPECT_FALSE(Shown(GetDlgItem(dialog, IDC_CMDCLOSE1))) << "first opening after a tray start";

    ClickTrayBox(dialog);
    EXPECT_EQ(OuterHeight(dialog), 296);
    ASSERT_TRUE(Press(dialog, L"再開"));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    ASSERT_TRUE(quillet_->WaitWatching());
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport)) << "window mode counts into the box";
    ASSERT_TRUE(quillet_->Close());
    EXPECT_EQ(ConfOf("task tray"), L"0");
}

TEST_F(DialogFlow, EndIsOfferedAfterAReturnToTheTrayAndEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(StartWith(ConfWith(L"1")));
    HWND dialog = OpenByTray();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(Shown(GetDlgItem(dialog, IDC_CMDCLOSE1)));
    // The double-click waits until the flow has put the icon back, instead of being lost in it.
    ASSERT_TRUE(Press(dialog, L"再開", true));

    dialog = WaitForDialog();
    ASSERT_TRUE(dialog) << "a double-click right after 再開 in tray mode opened nothing";
    EXPECT_TRUE(Shown(GetDlgItem(dialog, IDC_CMDCLOSE1)));
    ASSERT_TRUE(Press(dialog, L"終了"));
    EXPECT_TRUE(quillet_->process().WaitExit()) << "終了 did not end the program";
    EXPECT_EQ(ConfOf("task tray"), L"1");
}

TEST_F(DialogFlow, CloseBoxAndAltF4ResumeLikeTheFirstButton) {
    ASSERT_NO_FATAL_FAILURE(StartWith(ConfWith(L"1")));
    HWND dialog = OpenByTray();
    ASSERT_TRUE(dialog);
    // The close box, as the title bar sends it.
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_FALSE(IsWindowVisible(quillet_->main())) << "back in the tray, as 再開";

    dialog = OpenByTray();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(Shown(GetDlgItem(dialog, IDC_CMDCLOSE1))) << "the close box gave TrayResult Tray";
    // Alt+F4 with the keyboard in a combo box, whose keys are otherwise swallowed.
    ClickTrayBox(dialog);
    ClickTrayBox(dialog);
    const std::vector<HWND> edits = ChildWindows(GetDlgItem(dialog, IDC_CMBDISPPOS), L"Edit");
    ASSERT_EQ(edits.size(), 1u);
    PostMessageW(edits[0], WM_SYSKEYDOWN, VK_F4, (1 << 29) | 1);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "Alt+F4 did not close";
    EXPECT_FALSE(IsWindowVisible(quillet_->main()));
    ASSERT_TRUE(quillet_->Close());
}

TEST_F(DialogFlow, ShutdownWhileOpenAppliesNothing) {
    ASSERT_NO_FATAL_FAILURE(StartWith(ConfWith(L"0")));
    HWND dialog = OpenByMenu();
    ASSERT_TRUE(dialog);
    ClickTrayBox(dialog);
    Pick(dialog, IDC_CMBTIMEAUTOCLOSE, 12);
    ASSERT_TRUE(quillet_->Close()) << "the program did not end with the dialog open";
    EXPECT_EQ(ConfOf("task tray"), L"0");
    EXPECT_EQ(ConfOf("time auto close"), L"5");
}

using DialogValues = DialogTest;

TEST_F(DialogValues, ListTicksAndPicksReachConfTxt) {
    ASSERT_NO_FATAL_FAILURE(
        StartWith(ConfWith(L"1", L"time auto close = 5\r\ncustom item = 1010101\r\n")));
    HWND dialog = OpenByTray();
    ASSERT_TRUE(dialog);
    HWND list = GetDlgItem(dialog, IDC_LSTCUSTOM);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 10) << "seven items, three figures";
    for (int i = 0; i < 7; ++i) EXPECT_EQ(ItemTicked(list, i), i % 2 == 0) << "item " << i;
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CMBTIMEAUTOCLOSE)).value_or(L""), L" 5");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CMBDISPPOS)).value_or(L""), L"右下隅");
    ASSERT_TRUE(Press(dialog, L"再開"));

    // Untouched, the list gives the same seven characters back; now tick one and pick 15 s.
    dialog = OpenByTray();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(ClickItemBox(dialog, 1));
    Pick(dialog, IDC_CMBTIMEAUTOCLOSE, 10);
    Pick(dialog, IDC_CMBDISPPOS, 0);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CMBTIMEAUTOCLOSE)).value_or(L""), L"15");
    ASSERT_TRUE(Press(dialog, L"再開"));
    ASSERT_TRUE(quillet_->Close());
    EXPECT_EQ(ConfOf("custom item"), L"1110101");
    EXPECT_EQ(ConfOf("time auto close"), L"15");
    EXPECT_EQ(ConfOf("disp pos"), L"ポインタ");
}

TEST_F(DialogValues, HandEditedValuesSurviveAnUntouchedVisit) {
    const std::wstring conf =
        ConfWith(L"2",
                 L"time auto close = 100\r\ndisp pos = 真ん中\r\nsearch string = ab\r\n"
                 L"search fuzzy = 2\r\ncustom item = 10x\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWith(conf));
    HWND dialog = OpenByMenu();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_CHKTASKTRAY), BM_GETCHECK, 0, 0), BST_UNCHECKED)
        << "2 is window mode";
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_CHKFUZZY), BM_GETCHECK, 0, 0), BST_CHECKED)
        << "2 searches loosely";
    EXPECT_EQ(OuterHeight(dialog), 296);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CMBTIMEAUTOCLOSE)).value_or(L""), L"100");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CMBDISPPOS)).value_or(L""), L"真ん中");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_TXTSEARCHSTR)).value_or(L""), L"ab");
    ASSERT_TRUE(Press(dialog, L"再開"));
    ASSERT_TRUE(quillet_->Close());
    // No line for the figures either: a file without them stays as it was.
    const std::string expected = ToSjis(
        L"form left = 1500\r\nform top = 1500\r\nform width = 3600\r\nform height = 1500\r\n"
        L"task tray = 2\r\ntime auto close = 100\r\ndisp pos = 真ん中\r\n"
        L"search string = ab\r\nsearch fuzzy = 2\r\ncustom item = 10x\r\ncustom msg = 0\r\n");
    EXPECT_EQ(ConfBytes().value_or(""), expected);
}

TEST_F(DialogValues, TypingIntoTheComboBoxesChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(StartWith(ConfWith(L"1", L"time auto close = 7\r\n")));
    HWND dialog = OpenByTray();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(PutOnClipboard(app_.hwnd(), {UnicodeText(L"30")}));
    for (int id : {IDC_CMBTIMEAUTOCLOSE, IDC_CMBDISPPOS}) {
        HWND combo = GetDlgItem(dialog, id);
        const std::vector<HWND> edits = ChildWindows(combo, L"Edit");
        ASSERT_EQ(edits.size(), 1u);
        HWND edit = edits[0];
        const std::wstring before = WindowText(combo).value_or(L"?");
        // Keys as the keyboard delivers them to the focused field, then a paste.
        for (UINT key : {VK_DOWN, VK_UP, VK_END, VK_DELETE, VK_BACK}) {
            PostMessageW(edit, WM_KEYDOWN, key, 1);
            PostMessageW(edit, WM_KEYUP, key, 1 | (3u << 30));
        }
        PostMessageW(edit, WM_SYSKEYDOWN, VK_DOWN, (1 << 29) | 1);
        for (wchar_t c : std::wstring(L"3x")) PostMessageW(edit, WM_CHAR, c, 1);
        PostMessageW(edit, WM_PASTE, 0, 0);
        PostMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
        // Handled in order: once this limit shows, so have the keys before it.
        PostMessageW(edit, EM_SETLIMITTEXT, 77, 0);
        ASSERT_TRUE(WaitUntil([&] { return SendMessageW(edit, EM_GETLIMITTEXT, 0, 0) == 77; }))
            << "the keys were never handled";
        EXPECT_EQ(WindowText(combo).value_or(L"?"), before);
        EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    }
    ASSERT_TRUE(Press(dialog, L"再開"));
    ASSERT_TRUE(quillet_->Close());
    EXPECT_EQ(ConfOf("time auto close"), L"7");
    EXPECT_EQ(ConfOf("disp pos"), L"右下隅");
}

// The three figure rows below the seven items and the limit field reach Conf.txt and come back.
using FiguresDialog = DialogTest;

TEST_F(FiguresDialog, RowsAndLimitReachConfTxtAndComeBack) {
    ASSERT_NO_FATAL_FAILURE(StartWith(ConfWith(L"0")));
    HWND dialog = OpenByMenu();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(ClickItemBox(dialog, 7));
    EXPECT_TRUE(ClickItemBox(dialog, 9));
    HWND limit = GetDlgItem(dialog, IDC_TXTCHARLIMIT);
    EXPECT_EQ(WindowText(limit).value_or(L""), L"0");
    SendMessageW(limit, EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"4x0-0")) PostMessageW(limit, WM_CHAR, c, 1);  // digits only
    EXPECT_TRUE(WaitUntil([&] { return WindowText(limit).value_or(L"") == L"400"; }));
    ASSERT_TRUE(Press(dialog, L"再開"));
    ASSERT_TRUE(quillet_->Close());
    const std::string conf = ConfBytes().value_or("");
    EXPECT_TRUE(conf.ends_with("custom msg = 0\r\ncustom item ex = 101\r\nchar limit = 400\r\n"))
        << conf;

    ASSERT_NO_FATAL_FAILURE(Start());
    dialog = OpenByMenu();
    ASSERT_TRUE(dialog);
    HWND list = GetDlgItem(dialog, IDC_LSTCUSTOM);
    EXPECT_TRUE(ItemTicked(list, 7) && !ItemTicked(list, 8) && ItemTicked(list, 9));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_TXTCHARLIMIT)).value_or(L""), L"400");
    ASSERT_TRUE(Press(dialog, L"再開"));
    ASSERT_TRUE(quillet_->Close());
    EXPECT_EQ(ConfBytes().value_or(""), conf) << "an untouched visit changed the file";
}

using DialogLayout = DialogTest;

// Where each control sits, at every DPI, is the DPI table's (dpi_test.cpp).
TEST_F(DialogLayout, PopupSettingsShowWithTheTrayBoxAndTheKeyboardGoesInOrder) {
    ASSERT_NO_FATAL_FAILURE(StartWith(ConfWith(L"0")));
    HWND dialog = OpenByMenu();
    ASSERT_TRUE(dialog);
    for (bool tall : {false, true}) {
        if (tall) ClickTrayBox(dialog);
        EXPECT_EQ(OuterHeight(dialog), tall ? 380 : 296);
        for (int id :
             {IDC_FRPOS, IDC_LBLTIMEAUTOCLOSE, IDC_CMBTIMEAUTOCLOSE, IDC_LABEL1, IDC_CMBDISPPOS})
            EXPECT_EQ(Shown(GetDlgItem(dialog, id)), tall) << id;
        EXPECT_TRUE(Shown(GetDlgItem(dialog, IDC_CMDCLOSE0)));
    }
    // The keyboard's order through the controls; 終了 is hidden in window mode.
    std::vector<int> order;
    HWND first = GetDlgItem(dialog, IDC_CHKTASKTRAY);
    for (HWND at = first; order.size() < 13;) {
        order.push_back(GetDlgCtrlID(at));
        at = GetNextDlgTabItem(dialog, at, FALSE);
        if (!at || at == first) break;
    }
    EXPECT_EQ(order,
              (std::vector<int>{IDC_CHKTASKTRAY, IDC_CHKAUTOSTART, IDC_TXTSEARCHSTR, IDC_CHKFUZZY,
                                IDC_LSTCUSTOM, IDC_CHKDISPMSG, IDC_TXTCHARLIMIT,
                                IDC_CMBTIMEAUTOCLOSE, IDC_CMBDISPPOS, IDC_CMDCLOSE0}));

    ClickTrayBox(dialog);
    EXPECT_EQ(OuterHeight(dialog), 296);
    const RECT row = InClient(dialog, GetDlgItem(dialog, IDC_CMDCLOSE0));
    EXPECT_EQ(row.bottom, ClientHeight(dialog) - 15);
    ASSERT_TRUE(Press(dialog, L"再開"));
    ASSERT_TRUE(quillet_->Close());
}

}  // namespace
}  // namespace e2e
