// Messages that reach the program while it is busy with something else: copies coming faster
// than it shows them, icon events and log-off arriving while it waits on another process, a
// double-click queued behind the dialog's closing click, and ヘルプ when the page is missing.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

constexpr wchar_t kTitle[] = L"Quillet！ Ver0.50";

// A copy whose text is rendered only when someone asks for it: the program's read then waits
// on this window, and `whileRendering` runs inside that wait.
class DelayedSource : public Window {
public:
    DelayedSource()
        : Window(L"delayed source", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {40, 40, 240, 140}) {}
    bool Offer() {
        if (!OpenClipboard(hwnd())) return false;
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, nullptr);
        return CloseClipboard() != FALSE;
    }
    std::function<void()> whileRendering;
    std::wstring text = L"delayed";

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_RENDERFORMAT && wp == CF_UNICODETEXT) {
            if (whileRendering) whileRendering();
            const ClipFormat data = UnicodeText(text);
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data.bytes.size());
            std::copy(data.bytes.begin(), data.bytes.end(), static_cast<char*>(GlobalLock(block)));
            GlobalUnlock(block);
            if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
            return 0;
        }
        if (msg == WM_RENDERALLFORMATS) return 0;
        return Window::HandleMessage(msg, wp, lp);
    }
};

class Reentry : public QuilletE2E {
protected:
    void DoubleClickIcon() {
        PostMessageW(quillet_->main(), QUILLET_TRAY_CALLBACK, QUILLET_TRAY_ID, WM_LBUTTONDBLCLK);
    }
    static bool HasTip(const std::wstring& start) {
        for (const auto& tip : TrayTips())
            if (tip.rfind(start, 0) == 0) return true;
        return false;
    }
    static bool Press(HWND dialog, const std::wstring& caption) {
        for (HWND b : ChildWindows(dialog, L"Button")) {
            if (IsWindowVisible(b) && WindowText(b).value_or(L"") == caption) {
                PostMessageW(b, BM_CLICK, 0, 0);
                return WaitUntil([&] { return !IsWindow(dialog); });
            }
        }
        return false;
    }
};

// Showing a popup ends with the tray tip's update, a wait on the shell. A copy made as soon as
// the report shows used to be handled inside that wait, one level deeper for every copy, until
// the window system dropped the deepest calls and some copies never reached the popup. Each copy
// here is made the moment the one before is shown.
TEST_F(Reentry, EveryCopyOfABackToBackBurstIsShown) {
    ASSERT_NO_FATAL_FAILURE(
        WriteConf(L"task tray = 1\r\ncustom msg = 0\r\ntime auto close = 30\r\n"
                  L"custom item = 1000000\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(app_.Activate());
    constexpr int kBurst = 1500;
    int missed = 0;
    std::wstring firstMiss;
    HWND text = nullptr;
    for (int n = 1; n <= kBurst; ++n) {
        ASSERT_TRUE(PutOnClipboard(app_.hwnd(), {UnicodeText(std::wstring(size_t(n), L'x'))}));
        const std::wstring expected =
            L"字数:" + std::to_wstring(n) + L"(" + std::to_wstring(n) + L") \r\n";
        // Read as fast as the program answers: it answers from inside its own waits too.
        const bool shown = WaitUntil(
            [&] {
                for (int spin = 0; spin < 200; ++spin) {
                    if (!text || !IsWindow(text)) {
                        HWND popup = VisibleWindow(QUILLET_POPUP_CLASS);
                        text = popup ? GetDlgItem(popup, IDC_TXTDESCRIPTION) : nullptr;
                    }
                    if (text && WindowText(text, Ms(500)).value_or(L"") == expected) return true;
                }
                return false;
            },
            Ms(5000));
        if (!shown && missed++ == 0) firstMiss = L"copy " + std::to_wstring(n);
    }
    std::printf("back-to-back burst in tray mode: %d copies, %d never shown\n", kBurst, missed);
    EXPECT_EQ(missed, 0) << Printable(firstMiss);
    EXPECT_TRUE(Responds(quillet_->main(), Ms(2000)));
    ASSERT_TRUE(quillet_->Close());
}

// With notices on, the flow's own notice dispatches messages after 再開: a double-click queued
// behind the click used to start a second flow inside the first, which then put the icon back
// over a program that had just gone to window mode.
TEST_F(Reentry, ADoubleClickBehindResumeWaitsUntilTheFlowAndItsNoticeAreOver) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"task tray = 1\r\ncustom msg = 1\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitUntil([&] { return !VisibleWindow(QUILLET_SPLASH_CLASS) && HasTip(kTitle); }))
        << "the start notice did not end with the icon in the tray";
    DoubleClickIcon();
    HWND dialog = WaitForWindow(QUILLET_SETTING_CLASS);
    ASSERT_TRUE(dialog);

    HWND resume = nullptr;
    for (HWND b : ChildWindows(dialog, L"Button"))
        if (IsWindowVisible(b) && WindowText(b).value_or(L"") == L"再開") resume = b;
    ASSERT_TRUE(resume);
    PostMessageW(resume, BM_CLICK, 0, 0);
    DoubleClickIcon();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

    dialog = WaitForWindow(QUILLET_SETTING_CLASS, Ms(15000));
    ASSERT_TRUE(dialog) << "the double-click was lost";
    EXPECT_FALSE(VisibleWindow(QUILLET_SPLASH_CLASS)) << "the dialog opened inside the notice";
    // The second opening follows a return to the tray: 終了 is offered.
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_CMDCLOSE1)));

    // Back to window mode from the second flow: nothing of the first may put the icon back.
    SendMessageW(GetDlgItem(dialog, IDC_CHKTASKTRAY), BM_CLICK, 0, 0);
    ASSERT_TRUE(Press(dialog, L"再開"));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(quillet_->main()) != FALSE; }));
    Pause(Ms(1500));  // longer than the tray notice of an outer flow
    EXPECT_TRUE(IsWindowVisible(quillet_->main())) << "hidden again by an outer flow";
    EXPECT_FALSE(HasTip(kTitle)) << "an icon came back in window mode";
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport)) << "window mode counts into the box";
    ASSERT_TRUE(quillet_->Close());
    EXPECT_NE(ConfBytes().value_or("").find("task tray = 0\r\n"), std::string::npos);
}

// The program waits on the copying application while it renders a delayed text. An icon
// double-click, a menu command sent by another program and a log-off sent meanwhile used to run
// inside that wait, under the watch's procedure: the flow stopped the watch that was reading,
// and the window was destroyed under it. The dialog now opens once the copy has been counted;
// the log-off saves at once and ends the program once the read has returned.
TEST_F(Reentry, EventsSentWhileTheProgramWaitsOnACopyRunAfterIt) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"custom msg = 0\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    DelayedSource source;
    const struct {
        const char* what;
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        const wchar_t* text;
        const wchar_t* report;
    } flows[] = {
        {"an icon double-click", QUILLET_TRAY_CALLBACK, QUILLET_TRAY_ID, WM_LBUTTONDBLCLK,
         L"delayed", L"字数:7(7) 改行:0 7byte\r\n全角:0(0) 半角:7(7)\r\n全SP:0 半SP:0 タブ:0 "},
        {"設定 sent as a command", WM_COMMAND, IDM_DISP, 0, L"later",
         L"字数:5(5) 改行:0 5byte\r\n全角:0(0) 半角:5(5)\r\n全SP:0 半SP:0 タブ:0 "},
    };
    for (const auto& flow : flows) {
        SCOPED_TRACE(flow.what);
        ASSERT_TRUE(PutMarker());
        bool dialogInsideTheRead = false;
        source.text = flow.text;
        source.whileRendering = [&] {
            SendNotifyMessageW(quillet_->main(), flow.msg, flow.wp, flow.lp);
            // Long enough for the program to handle what it was sent, had it done so at once.
            Pause(Ms(500));
            dialogInsideTheRead = VisibleWindow(QUILLET_SETTING_CLASS) != nullptr;
        };
        ASSERT_TRUE(WaitUntil([&] {
            SetForegroundWindow(source.hwnd());
            return GetForegroundWindow() == source.hwnd();
        }));
        const int before = sync_.notifications();
        ASSERT_TRUE(source.Offer());
        ASSERT_TRUE(WaitUntil([&] { return sync_.notifications() > before; }));
        EXPECT_FALSE(dialogInsideTheRead) << "the settings flow ran inside the clipboard read";
        HWND dialog = WaitForWindow(QUILLET_SETTING_CLASS);
        ASSERT_TRUE(dialog) << "the event was lost";
        EXPECT_EQ(Report(), flow.report)
            << "the copy read before the dialog opened was not counted";
        ASSERT_TRUE(Press(dialog, L"再開"));
        ASSERT_TRUE(quillet_->WaitWatching());
    }

    // Log-off inside the same kind of wait.
    bool aliveAfterEndSession = false;
    source.text = L"second";
    source.whileRendering = [&] {
        SendNotifyMessageW(quillet_->main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        Pause(Ms(500));
        aliveAfterEndSession = IsWindow(quillet_->main()) != FALSE;
    };
    ASSERT_TRUE(WaitUntil([&] {
        SetForegroundWindow(source.hwnd());
        return GetForegroundWindow() == source.hwnd();
    }));
    ASSERT_TRUE(source.Offer());
    EXPECT_TRUE(quillet_->process().WaitExit()) << "the program did not end after the log-off";
    EXPECT_TRUE(aliveAfterEndSession) << "the window was destroyed inside the clipboard read";
    DWORD code = 1;
    GetExitCodeProcess(quillet_->process().handle(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_NE(ConfBytes().value_or("").find("custom msg = 0\r\n"), std::string::npos)
        << "the settings were not saved at the log-off";
}

// ヘルプ with no page beside the program (started from inside the zip, the page deleted): one
// message that says where the page was expected, instead of a click that does nothing.
TEST_F(Reentry, HelpWithoutThePageSaysWhereItWasExpected) {
    ASSERT_FALSE(FileExists(dir_.File(L"Quillet.html")));
    ASSERT_NO_FATAL_FAILURE(Start());
    const DWORD pid = quillet_->process().pid();
    PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_HELP, 0), 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = VisibleWindow(L"#32770")) != nullptr; }))
        << "ヘルプ without its page said nothing";
    const std::wstring message = MessageText(box);
    EXPECT_NE(message.find(L"ヘルプのページを開けませんでした"), std::wstring::npos)
        << Printable(message);
    const std::wstring folder = dir_.path().substr(dir_.path().find_last_of(L'\\') + 1);
    EXPECT_NE(message.find(folder + L"\\Quillet.html"), std::wstring::npos) << Printable(message);
    EXPECT_EQ(WindowText(box).value_or(L""), kTitle);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(
        WaitUntil([&] { return TopLevelWindows(pid, L"#32770").empty() || !IsWindow(box); }));
    EXPECT_TRUE(quillet_->Close());
}

}  // namespace
}  // namespace e2e
