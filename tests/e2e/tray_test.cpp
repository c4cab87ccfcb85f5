// Tray mode seen from outside: start-up into the notification area, the icon's tip, its mouse
// events as the shell sends them, the tray menu, leaving the tray, and the icon coming back
// after the shell restarts. The icon is read where Wine's shell keeps it: one window of class
// window per icon, with a tooltip control that holds the tip (read by TrayTips()).
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

constexpr wchar_t kTitle[] = L"Quillet！ Ver0.50";
constexpr wchar_t kTrayConf[] = L"task tray = 1\r\ncustom msg = 0\r\n";

bool HasTip(const std::wstring& tip) {
    for (const auto& t : TrayTips())
        if (t == tip) return true;
    return false;
}

class Tray : public QuilletE2E {
protected:
    void TearDown() override {
        // A test that failed half-way leaves no icon for the next one.
        if (quillet_ && quillet_->process().Running()) {
            NOTIFYICONDATAW data{};
            data.cbSize = sizeof data;
            data.hWnd = quillet_->main();
            data.uID = QUILLET_TRAY_ID;
            Shell_NotifyIconW(NIM_DELETE, &data);
        }
    }
    // The shell's notification of a mouse action on the icon.
    void IconEvent(UINT mouse_message) {
        PostMessageW(quillet_->main(), QUILLET_TRAY_CALLBACK, QUILLET_TRAY_ID, mouse_message);
    }
    HWND Visible(const wchar_t* class_name) {
        for (HWND w : TopLevelWindows(quillet_->process().pid(), class_name))
            if (IsWindowVisible(w)) return w;
        return nullptr;
    }
    // True when nothing of `class_name` appears within a moment.
    bool NeverShows(const wchar_t* class_name) {
        return !WaitUntil([&] { return Visible(class_name) != nullptr; }, Ms(700));
    }
};

TEST_F(Tray, StartsInTheTrayWithTheTitleAsTipAndCountsIntoTheTip) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(kTrayConf));
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(WaitUntil([&] { return HasTip(kTitle); })) << "no tray icon with the title";
    EXPECT_FALSE(IsWindowVisible(quillet_->main())) << "the main window shows in tray mode";

    ASSERT_TRUE(Copy({UnicodeText(kWorked)}));
    const std::wstring tip = std::wstring(L"- ") + kTitle + L" -\r\n" + kWorkedReportNoSearch;
    EXPECT_TRUE(WaitUntil([&] { return HasTip(tip); }))
        << "the tip after a count is not the report; tips: "
        << (TrayTips().empty() ? std::string("(none)") : Printable(TrayTips().front()));
    EXPECT_FALSE(IsWindowVisible(quillet_->main()));
    EXPECT_EQ(Report(), kInstructionText) << "tray mode wrote into the main window";
}

TEST_F(Tray, IconEventsOpenTheMenuOrTheDialogAndNothingElse) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(kTrayConf));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitUntil([&] { return HasTip(kTitle); }));
    HWND main = quillet_->main();

    // Clicks, releases and moves do nothing; nor does a real middle click on the window.
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONUP}) IconEvent(m);
    PostMessageW(main, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(WM_LBUTTONDBLCLK, 0));
    EXPECT_TRUE(NeverShows(L"#32768")) << "a menu opened";
    EXPECT_TRUE(NeverShows(QUILLET_SETTING_CLASS)) << "the settings dialog opened";
    EXPECT_FALSE(IsWindowVisible(main));

    // Right button: the tray menu at the pointer, with the main window in front first.
    ASSERT_TRUE(SetCursorPos(700, 500));
    IconEvent(WM_RBUTTONDOWN);
    HWND menu = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (menu = Visible(L"#32768")) != nullptr; }))
        << "no tray menu";
    if (menu) {
        RECT r{};
        GetWindowRect(menu, &r);
        EXPECT_TRUE(r.left == 700 || r.right == 700) << "menu at x " << r.left << ".." << r.right;
        EXPECT_EQ(GetForegroundWindow(), main);
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitUntil([&] { return Visible(L"#32768") == nullptr; }));
    }

    // Left double-click: the settings flow; the icon leaves while the dialog is open.
    IconEvent(WM_LBUTTONDBLCLK);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = Visible(QUILLET_SETTING_CLASS)) != nullptr; }))
        << "no settings dialog";
    EXPECT_TRUE(WaitUntil([&] { return TrayTips().empty(); }))
        << "the icon stayed during the dialog";
    // The close box resumes; with the tray box still ticked the icon comes back.
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return HasTip(kTitle); })) << "the icon did not come back";
    EXPECT_FALSE(IsWindowVisible(main));
}

TEST_F(Tray, TakingItOutOfTheTrayShowsTheWindowAndIsSaved) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(kTrayConf));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitUntil([&] { return HasTip(kTitle); }));
    PostMessageW(quillet_->main(), WM_COMMAND, IDM_TRAYOUT, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(quillet_->main()) != FALSE; }));
    EXPECT_TRUE(WaitUntil([&] { return TrayTips().empty(); })) << "the icon stayed";
    // Counts now go into the main window.
    EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReportNoSearch));
    ASSERT_TRUE(quillet_->EndByMenu(IDM_END));
    EXPECT_NE(ConfBytes().value_or("").find("\r\ntask tray = 0\r\n"), std::string::npos);
}

TEST_F(Tray, TheIconComesBackWhenTheShellStartsAnew) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(kTrayConf));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitUntil([&] { return HasTip(kTitle); }));
    // A restarted shell has lost every icon and tells every top-level window so.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = quillet_->main();
    data.uID = QUILLET_TRAY_ID;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_TRUE(WaitUntil([&] { return TrayTips().empty(); }));
    PostMessageW(quillet_->main(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return HasTip(kTitle); })) << "the icon did not come back";
}

}  // namespace
}  // namespace e2e
