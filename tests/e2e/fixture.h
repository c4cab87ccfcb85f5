// The common stage of the end-to-end tests: a fresh folder with its own copy of Quillet.exe,
// "another application" that copies, and a clipboard viewer that joined before the program.
// That viewer follows the program in the chain, so it hears of each clipboard change only after
// the program has handled it: the tests wait for it instead of sleeping.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// Set from the command line for the X-side test: the folder for its hand-shake files.
const std::wstring& HandshakeDir();
void SetHandshakeDir(std::wstring path);
// Set from the command line (--two-monitors) by two_monitors.sh, which runs the driver on its
// desktop of two monitors.
bool OnTwoMonitors();
void SetOnTwoMonitors();

// 「Hello, 世界！」 CR LF 「ｱｲ　x」 TAB 「y」 and its reports.
inline constexpr wchar_t kWorked[] = L"Hello, 世界！\r\nｱｲ　x\ty";
inline constexpr wchar_t kWorkedReport[] =
    L"字数:17(13) 改行:1 22byte\r\n全角:4(3) 半角:11(10)\r\n全SP:1 半SP:1 タブ:1 l:2";
inline constexpr wchar_t kWorkedReportNoSearch[] =
    L"字数:17(13) 改行:1 22byte\r\n全角:4(3) 半角:11(10)\r\n全SP:1 半SP:1 タブ:1 ";
inline constexpr wchar_t kAbc[] = L"abc";
inline constexpr wchar_t kAbcReport[] =
    L"字数:3(3) 改行:0 3byte\r\n全角:0(0) 半角:3(3)\r\n全SP:0 半SP:0 タブ:0 ";
inline constexpr wchar_t kA[] = L"あ\r\n";
inline constexpr wchar_t kAReport[] =
    L"字数:2(1) 改行:1 4byte\r\n全角:1(1) 半角:0(0)\r\n全SP:0 半SP:0 タブ:0 ";

class QuilletE2E : public testing::Test {
protected:
    void SetUp() override;

    // Writes Conf.txt beside the program's copy, in Shift-JIS.
    void WriteConf(std::wstring_view text);
    std::optional<std::string> ConfBytes() const { return ReadFileBytes(dir_.File(L"Conf.txt")); }
    // Starts the program with the other application in front; waits until it watches.
    void Start();

    // Copies as the other application (or with `foreground` in front) and waits until the
    // program has passed the change on to the next viewer.
    testing::AssertionResult Copy(const std::vector<ClipFormat>& formats,
                                  HWND foreground = nullptr);
    // Puts a marker into the text box first, so that a count is seen even when its report
    // equals the one before.
    testing::AssertionResult Counted(const std::vector<ClipFormat>& formats,
                                     const std::wstring& report);
    testing::AssertionResult Ignored(const std::vector<ClipFormat>& formats,
                                     HWND foreground = nullptr);
    // A copy the program makes itself: its text box's text (a marker) selected and copied
    // there. Succeeds when the copy was made, passed on, and not counted.
    testing::AssertionResult CopiedInTheProgram();
    testing::AssertionResult PutMarker();
    std::wstring Report() const;

    // The program's visible top-level window of class `cls` now, or null; and once it shows.
    HWND VisibleWindow(const wchar_t* cls);
    HWND WaitForWindow(const wchar_t* cls, Ms timeout = kWait);

    static constexpr wchar_t kMarker[] = L"(the driver's marker)";

    TempDir dir_;
    std::wstring exe_ = dir_.File(L"Quillet.exe");
    AppWindow app_;
    Viewer sync_{L"viewer before the program"};
    std::optional<Quillet> quillet_;
};

}  // namespace e2e
