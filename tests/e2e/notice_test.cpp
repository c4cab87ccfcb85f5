// The notice window seen from outside: the tray notice at start-up, the end notice of the tray
// menu, notices switched off; and the ヘルプ menus opening the help page shipped beside the
// program.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr wchar_t kTrayNotice[] = L"Quillet！ Ver0.50\r\n\r\nタスクトレイに収納します！";
constexpr wchar_t kEndNotice[] = L"終了します！";
// 4680 twips wide; 1790 and 790 twips high, at 15 twips per pixel.
constexpr int kNoticeWidth = 312;
constexpr int kThreeLineHeight = 119;
constexpr int kOneLineHeight = 53;

struct Sample {
    RECT rect;
    bool processRunning;
};

class NoticeE2E : public QuilletE2E {
protected:
    HWND FindNotice() {
        const auto found = TopLevelWindows(quillet_->process().pid(), QUILLET_SPLASH_CLASS);
        for (HWND hwnd : found)
            if (IsWindowVisible(hwnd)) return hwnd;
        return nullptr;
    }

    HWND WaitForNotice() {
        HWND notice = nullptr;
        WaitUntil([&] { return (notice = FindNotice()) != nullptr; });
        return notice;
    }

    // Samples the notice's rectangle until it is gone; how long it was seen is returned too.
    std::vector<Sample> FollowUntilGone(HWND notice, Clock::duration& seen) {
        std::vector<Sample> samples;
        const auto first = Clock::now();
        WaitUntil(
            [&] {
                RECT r{};
                if (!IsWindow(notice) || !GetWindowRect(notice, &r) || !IsWindowVisible(notice))
                    return true;
                samples.push_back({r, quillet_->process().Running()});
                return false;
            },
            Ms(20000));
        seen = Clock::now() - first;
        return samples;
    }

    // Starts in tray mode without waiting for the watch, which begins after the notice.
    void StartInTray(std::wstring_view conf) {
        WriteConf(conf);
        ASSERT_TRUE(app_.Activate());
        quillet_.emplace(exe_);
        ASSERT_TRUE(quillet_->ok()) << quillet_->Failure();
    }
};

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void ExpectShrankIntoItsCorner(const std::vector<Sample>& samples) {
    ASSERT_FALSE(samples.empty());
    const RECT start = samples.front().rect;
    int sizes = 1;
    for (size_t i = 1; i < samples.size(); ++i) {
        const RECT& r = samples[i].rect;
        const RECT& before = samples[i - 1].rect;
        EXPECT_EQ(r.right, start.right) << "sample " << i << ": " << r.left << "," << r.top << " "
                                        << r.right - r.left << "x" << r.bottom - r.top;
        EXPECT_EQ(r.bottom, start.bottom) << "sample " << i;
        EXPECT_LE(r.right - r.left, before.right - before.left) << "sample " << i;
        EXPECT_LE(r.bottom - r.top, before.bottom - before.top) << "sample " << i;
        if (r.left != before.left || r.top != before.top) ++sizes;
    }
    // 19 steps of at least 10 ms each: a sampler polling every few ms sees several of them.
    EXPECT_GE(sizes, 4) << "the notice did not shrink step by step";
    const RECT last = samples.back().rect;
    EXPECT_LT(last.right - last.left, (start.right - start.left) / 2);
}

using NoticeTray = NoticeE2E;

TEST_F(NoticeTray, StartNoticeIsCentredWithoutFocusThenShrinksIntoItsCorner) {
    ASSERT_NO_FATAL_FAILURE(StartInTray(L"task tray = 1\r\n"));
    HWND notice = WaitForNotice();
    ASSERT_TRUE(notice) << "no visible window of class Quillet.frmSplash";

    HWND label = GetDlgItem(notice, IDC_SPLASH_LBLMSG);
    ASSERT_TRUE(label);
    EXPECT_EQ(WindowText(label).value_or(L""), kTrayNotice)
        << Printable(WindowText(label).value_or(L""));

    const LONG_PTR style = GetWindowLongPtrW(notice, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(notice, GWL_EXSTYLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME)) << "borderless";
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "no task-bar button";
    EXPECT_FALSE(GetWindow(notice, GW_OWNER)) << "shown without an owner";

    RECT client{};
    GetClientRect(notice, &client);
    EXPECT_EQ(client.right, kNoticeWidth);
    EXPECT_EQ(client.bottom, kThreeLineHeight);
    RECT frame{};
    GetWindowRect(notice, &frame);
    const RECT area = WorkArea();
    EXPECT_NEAR(frame.left, (area.left + area.right - kNoticeWidth) / 2, 1);
    EXPECT_NEAR(frame.top, (area.top + area.bottom - kThreeLineHeight) / 2, 1);

    // Pale cyan with the message in blue, once painted (a loaded machine paints late; the notice
    // stays 1.5 s).
    std::vector<COLORREF> colours;
    const auto count = [&](COLORREF c) { return std::count(colours.begin(), colours.end(), c); };
    WaitUntil(
        [&] {
            colours = ScreenColours(frame);
            return count(RGB(0, 0, 0xFF)) > 50;
        },
        Ms(1000));
    EXPECT_GT(count(RGB(0xC0, 0xFF, 0xFF)), static_cast<long long>(colours.size()) / 2);
    EXPECT_GT(count(RGB(0, 0, 0xFF)), 50) << "no blue text";

    EXPECT_EQ(GetForegroundWindow(), app_.hwnd())
        << "the notice took the foreground: " << Printable(ClassName(GetForegroundWindow()));
    EXPECT_FALSE(IsWindowVisible(quillet_->main())) << "the main window stays hidden";

    Clock::duration seen{};
    const std::vector<Sample> samples = FollowUntilGone(notice, seen);
    ExpectShrankIntoItsCorner(samples);
    // 1.5 s of display, counted from before the driver first saw it, plus the shrink.
    EXPECT_GE(seen, Ms(1300));

    ASSERT_TRUE(quillet_->WaitWatching()) << "the watch began not after the notice";
    EXPECT_FALSE(IsWindowVisible(quillet_->main()));
    EXPECT_EQ(GetForegroundWindow(), app_.hwnd());
}

TEST_F(NoticeTray, NoNoticeEverWhenSwitchedOff) {
    ASSERT_NO_FATAL_FAILURE(StartInTray(L"task tray = 1\r\ncustom msg = 0\r\n"));
    bool seen = false;
    // Until the watch runs (after the point where the notice would be) and a while after.
    WaitUntil([&] {
        seen = seen || !TopLevelWindows(quillet_->process().pid(), QUILLET_SPLASH_CLASS).empty();
        return GetClipboardViewer() == quillet_->main();
    });
    const auto until = Clock::now() + Ms(500);
    WaitUntil([&] {
        seen = seen || !TopLevelWindows(quillet_->process().pid(), QUILLET_SPLASH_CLASS).empty();
        return Clock::now() > until;
    });
    EXPECT_FALSE(seen) << "a notice window appeared with custom msg = 0";
    EXPECT_TRUE(quillet_->WaitWatching(Ms(0)));

    // Ending through the tray menu shows none either, and ends at once.
    PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_END2, 0), 0);
    WaitUntil([&] {
        seen = seen || !TopLevelWindows(quillet_->process().pid(), QUILLET_SPLASH_CLASS).empty();
        return !quillet_->process().Running();
    });
    EXPECT_FALSE(seen) << "an end notice appeared with custom msg = 0";
    EXPECT_FALSE(quillet_->process().Running());
}

TEST_F(NoticeTray, EndMenuShowsTheEndNoticeAndTheProcessOutlivesIt) {
    ASSERT_NO_FATAL_FAILURE(StartInTray(L"task tray = 1\r\n"));
    ASSERT_TRUE(quillet_->WaitWatching());
    ASSERT_TRUE(WaitUntil([&] { return FindNotice() == nullptr; }));
    HWND main = quillet_->main();

    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_END2, 0), 0);
    HWND notice = WaitForNotice();
    ASSERT_TRUE(notice) << "no end notice";
    EXPECT_EQ(WindowText(GetDlgItem(notice, IDC_SPLASH_LBLMSG)).value_or(L""), kEndNotice);
    RECT client{};
    GetClientRect(notice, &client);
    EXPECT_EQ(client.right, kNoticeWidth);
    EXPECT_EQ(client.bottom, kOneLineHeight);

    // The main window closes at once (the settings are saved then); the notice runs its time.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(main); })) << "the main window did not close";
    EXPECT_TRUE(FileExists(dir_.File(L"Conf.txt")));
    Clock::duration seen{};
    const std::vector<Sample> samples = FollowUntilGone(notice, seen);
    ExpectShrankIntoItsCorner(samples);
    for (const Sample& s : samples) ASSERT_TRUE(s.processRunning) << "ended under the notice";
    EXPECT_TRUE(quillet_->process().WaitExit()) << "the process did not end after the notice";
}

TEST_F(NoticeTray, LogOffDuringTheStartNoticeSavesAndEndsCleanly) {
    ASSERT_NO_FATAL_FAILURE(StartInTray(L"task tray = 1\r\n"));
    ASSERT_TRUE(WaitForNotice());
    // The start-up waits inside the notice; the session ends meanwhile.
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(quillet_->main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_NORMAL, 10000, &result));
    EXPECT_NE(result, 0u);
    ASSERT_TRUE(SendMessageTimeoutW(quillet_->main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                    SMTO_NORMAL, 10000, &result));
    const std::string conf = ConfBytes().value_or("");
    EXPECT_NE(conf.find("task tray = 1\r\n"), std::string::npos) << conf;

    ASSERT_TRUE(quillet_->process().WaitExit()) << "the program did not end";
    DWORD code = 1;
    GetExitCodeProcess(quillet_->process().handle(), &code);
    EXPECT_EQ(code, 0u) << "the program did not end normally";
}

// The .html handler of the Wine prefix, replaced for one test by the recorder beside the driver.
// Wine 8 reads file types from HKEY_CLASSES_ROOT only, not from HKCU\Software\Classes.
class HtmlHandler {
public:
    HtmlHandler(const std::wstring& recorder, const std::wstring& record) {
        wchar_t old[256] = {};
        DWORD size = sizeof old;
        if (RegGetValueW(HKEY_CLASSES_ROOT, L".html", nullptr, RRF_RT_REG_SZ, nullptr, old,
                         &size) == ERROR_SUCCESS)
            previous_ = old;
        const std::wstring command = L"\"" + recorder + L"\" \"" + record + L"\" \"%1\"";
        ok_ = SetDefault(L".html", kProgId) &&
              SetDefault(std::wstring(kProgId) + L"\\shell\\open\\command", command);
    }
    ~HtmlHandler() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
        if (previous_)
            SetDefault(L".html", *previous_);
        else
            RegDeleteTreeW(HKEY_CLASSES_ROOT, L".html");
    }
    bool ok() const { return ok_; }

private:
    static bool SetDefault(const std::wstring& key, const std::wstring& value) {
        return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
    }
    static constexpr wchar_t kProgId[] = L"Quillet.E2E.htmlfile";
    std::optional<std::wstring> previous_;
    bool ok_ = false;
};

std::wstring Folder(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring DriverFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return Folder(path);
}

std::vector<std::wstring> RecordedLines(const std::wstring& record) {
    const std::wstring text = FromSjis(ReadFileBytes(record).value_or(""));
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

using NoticeHelpPage = QuilletE2E;

TEST_F(NoticeHelpPage, BothHelpItemsOpenThePageBesideTheProgram) {
    // The page travels with the program, as in the release package.
    const std::wstring shipped = Folder(QuilletExe()) + L"\\Quillet.html";
    ASSERT_TRUE(FileExists(shipped)) << "no help page beside " << Printable(QuilletExe());
    const std::wstring page = dir_.File(L"Quillet.html");
    ASSERT_TRUE(CopyFileW(shipped.c_str(), page.c_str(), FALSE));
    const std::string html = ReadFileBytes(page).value_or("");
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("Quillet！ Ver0.50"), std::string::npos) << "the version is filled in";
    EXPECT_NE(html.find("id=\"secret\""), std::string::npos);
    // CMake's placeholders are @NAME@; the page's own text may hold an @ (an e-mail address).
    EXPECT_FALSE(std::regex_search(html, std::regex("@[A-Z_]+@")))
        << "a placeholder was left unfilled";

    const std::wstring record = dir_.File(L"opened.txt");
    HtmlHandler handler(DriverFolder() + L"\\quillet_open_recorder.exe", record);
    ASSERT_TRUE(handler.ok()) << "cannot register the recorder for .html";
    ASSERT_NO_FATAL_FAILURE(Start());

    PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_HELP, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return RecordedLines(record).size() >= 1; }))
        << "ヘルプ in the menu bar opened nothing";
    // As a person would: the second item once the program handles messages again (the shell's
    // open may pump messages while it starts the handler).
    EXPECT_TRUE(Responds(quillet_->main(), kWait));
    PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_HELP2, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return RecordedLines(record).size() >= 2; }))
        << "ヘルプ in the tray menu opened nothing";

    for (const std::wstring& opened : RecordedLines(record)) {
        EXPECT_EQ(CompareStringOrdinal(opened.c_str(), -1, page.c_str(), -1, TRUE), CSTR_EQUAL)
            << Printable(opened) << " instead of " << Printable(page);
    }
    EXPECT_TRUE(quillet_->Close());
}

}  // namespace
}  // namespace e2e
