// Starting with Windows, seen from outside: the settings dialog's 自動起動 box against the user's
// Run key, the mending at start-up, and a real start by Wine's sign-in steps. Every test leaves
// the Run value and Task Manager's flag as it found them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";
constexpr wchar_t kFlagKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kValueName[] = L"Quillet";

struct RegValue {
    DWORD type = REG_NONE;
    std::string bytes;
    bool operator==(const RegValue&) const = default;
};

std::optional<RegValue> ReadValue(const wchar_t* key) {
    RegValue value{REG_NONE, std::string(4096, '\0')};
    DWORD size = static_cast<DWORD>(value.bytes.size());
    if (RegGetValueW(HKEY_CURRENT_USER, key, kValueName, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     value.bytes.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.bytes.resize(size);
    return value;
}

void PutValue(const wchar_t* key, const std::optional<RegValue>& value) {
    if (!value) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key, kValueName);
        return;
    }
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, kValueName, value->type, value->bytes.data(),
                              static_cast<DWORD>(value->bytes.size())),
              ERROR_SUCCESS);
}

// A REG_SZ value as Windows stores it: UTF-16 with its terminator.
RegValue Sz(const std::wstring& text) {
    return {REG_SZ, std::string(reinterpret_cast<const char*>(text.c_str()),
                                (text.size() + 1) * sizeof(wchar_t))};
}
std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

class AutostartTest : public QuilletE2E {
protected:
    void SetUp() override {
        savedRun_ = ReadValue(kRunKey);
        savedFlag_ = ReadValue(kFlagKey);
        HKEY approved = nullptr;
        hadApproved_ =
            RegOpenKeyExW(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_READ, &approved) == ERROR_SUCCESS;
        if (approved) RegCloseKey(approved);
        PutValue(kRunKey, std::nullopt);
        PutValue(kFlagKey, std::nullopt);
        QuilletE2E::SetUp();
        WriteConf(L"task tray = 0\r\ncustom msg = 0\r\n");
    }
    void TearDown() override {
        quillet_.reset();
        PutValue(kRunKey, savedRun_);
        PutValue(kFlagKey, savedFlag_);
        // Wine's prefix has no StartupApproved key until a test makes one.
        if (!hadApproved_) RegDeleteTreeW(HKEY_CURRENT_USER, kApprovedKey);
    }

    HWND OpenDialog() {
        PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_DISP, 0), 0);
        return WaitForWindow(QUILLET_SETTING_CLASS);
    }
    static bool Ticked(HWND dialog) {
        return SendMessageW(GetDlgItem(dialog, IDC_CHKAUTOSTART), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    static void ClickBox(HWND dialog) {
        SendMessageW(GetDlgItem(dialog, IDC_CHKAUTOSTART), BM_CLICK, 0, 0);
    }
    // 再開, or the close box, and the dialog gone.
    static testing::AssertionResult Resume(HWND dialog, bool closeBox = false) {
        if (closeBox)
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            PostMessageW(GetDlgItem(dialog, IDC_CMDCLOSE0), BM_CLICK, 0, 0);
        if (WaitUntil([&] { return !IsWindow(dialog); })) return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the dialog stayed";
    }

    std::optional<RegValue> savedRun_, savedFlag_;
    bool hadApproved_ = false;
};

using AutostartBox = AutostartTest;

TEST_F(AutostartBox, ItsCaptionFitsAndTickingWritesThisCopyOnApplyOnly) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(Ticked(dialog));

    // Its place and keyboard order are in the dialog's layout test. Its caption fits beside the
    // tick mark in the caption font: a themed check box leaves 6 pixels between the two.
    HWND box = GetDlgItem(dialog, IDC_CHKAUTOSTART);
    const RECT r = WindowRect(box);
    EXPECT_EQ(WindowText(box).value_or(L""), L"自動起動");
    HDC dc = GetDC(nullptr);
    HFONT font =
        CreateFontW(-MulDiv(975, GetDeviceCaps(dc, LOGPIXELSY), 7200), 0, 0, 0, FW_NORMAL, FALSE,
                    FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"ＭＳ Ｐゴシック");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE text{};
    GetTextExtentPoint32W(dc, L"自動起動", 4, &text);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    const int need = GetSystemMetrics(SM_CXMENUCHECK) + 6 + text.cx;
    std::printf("  自動起動: control %ld x %ld, caption %ld x %ld, needs %d wide\n",
                r.right - r.left, r.bottom - r.top, text.cx, text.cy, need);
    EXPECT_LE(need, r.right - r.left);
    EXPECT_LE(text.cy, r.bottom - r.top);

    // Ticked, but the program ends with the dialog open (log-off): nothing is applied.
    ClickBox(dialog);
    ASSERT_TRUE(quillet_->Close());
    EXPECT_EQ(ReadValue(kRunKey), std::nullopt);

    ASSERT_NO_FATAL_FAILURE(Start());
    dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    ClickBox(dialog);
    ASSERT_TRUE(Resume(dialog, true));
    EXPECT_EQ(ReadValue(kRunKey), Sz(Quoted(exe_)));
}

TEST_F(AutostartBox, ClearingDeletesThisCopysValue) {
    ASSERT_NO_FATAL_FAILURE(PutValue(kRunKey, Sz(Quoted(exe_) + L" /from-an-old-version")));
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(Ticked(dialog));
    ClickBox(dialog);
    ASSERT_TRUE(Resume(dialog));
    EXPECT_EQ(ReadValue(kRunKey), std::nullopt);
}

TEST_F(AutostartBox, AnotherCopysEntryIsShownClearAndLeftAlone) {
    const TempDir otherDir;
    const std::wstring other = otherDir.File(L"Quillet.exe");
    ASSERT_TRUE(CopyFileW(exe_.c_str(), other.c_str(), FALSE));
    const RegValue entry = Sz(Quoted(other));
    ASSERT_NO_FATAL_FAILURE(PutValue(kRunKey, entry));
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(ReadValue(kRunKey), entry) << "start-up took over another copy's entry";
    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(Ticked(dialog));
    ASSERT_TRUE(Resume(dialog));
    EXPECT_EQ(ReadValue(kRunKey), entry);
}

TEST_F(AutostartBox, TaskManagersDisabledFlagShowsTheBoxClear) {
    const RegValue entry = Sz(Quoted(exe_));
    const RegValue disabled{REG_BINARY, std::string("\x03\0\0\0\0\0\0\0\0\0\0\0", 12)};
    ASSERT_NO_FATAL_FAILURE(PutValue(kRunKey, entry));
    ASSERT_NO_FATAL_FAILURE(PutValue(kFlagKey, disabled));
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(Ticked(dialog));
    ASSERT_TRUE(Resume(dialog));
    EXPECT_EQ(ReadValue(kRunKey), entry);
    EXPECT_EQ(ReadValue(kFlagKey), disabled);
}

using AutostartStartUp = AutostartTest;

TEST_F(AutostartStartUp, AnEntryWhoseCopyIsGonePointsAtThisOne) {
    ASSERT_NO_FATAL_FAILURE(PutValue(kRunKey, Sz(Quoted(dir_.File(L"moved\\Quillet.exe")))));
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(ReadValue(kRunKey), Sz(Quoted(exe_)));
}

using AutostartSignIn = AutostartTest;

// A main window of the Quillet.exe at `exe` in a process other than `except`, with its process.
std::optional<std::pair<HWND, quillet::UniqueKernelHandle>> FindStarted(const std::wstring& exe,
                                                                        DWORD except) {
    for (HWND hwnd = FindWindowExW(nullptr, nullptr, QUILLET_MAIN_CLASS, nullptr); hwnd;
         hwnd = FindWindowExW(nullptr, hwnd, QUILLET_MAIN_CLASS, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == except) continue;
        quillet::UniqueKernelHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
        wchar_t image[MAX_PATH * 2] = {};
        DWORD size = MAX_PATH * 2;
        if (process && QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
            CompareStringOrdinal(image, -1, exe.c_str(), -1, TRUE) == CSTR_EQUAL)
            return std::make_pair(hwnd, std::move(process));
    }
    return std::nullopt;
}

TEST_F(AutostartSignIn, WinebootStartsTheTickedCopy) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    ClickBox(dialog);
    ASSERT_TRUE(Resume(dialog));
    const DWORD first = quillet_->process().pid();
    ASSERT_TRUE(quillet_->Close());

    // Wine's sign-in steps, which run the REG_SZ values under the Run key.
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    Process wineboot;
    ASSERT_TRUE(wineboot.Start(std::wstring(system) + L"\\wineboot.exe", system));
    EXPECT_TRUE(wineboot.WaitExit(Ms(60000)));
    std::optional<std::pair<HWND, quillet::UniqueKernelHandle>> started;
    EXPECT_TRUE(WaitUntil(
        [&] {
            started = FindStarted(exe_, first);
            return started && IsWindowVisible(started->first);
        },
        Ms(20000)))
        << "no Quillet.exe main window shown after wineboot";
    if (!started) return;
    PostMessageW(started->first, WM_CLOSE, 0, 0);
    HANDLE process = started->second.get();
    EXPECT_TRUE(WaitUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }));
}

}  // namespace
}  // namespace e2e
