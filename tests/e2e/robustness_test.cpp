// Quillet.exe against the faults that users of clipboard tools meet: a viewer chain broken by a
// dead or hung viewer, secret copies, hostile and bursty clipboard texts, a saved place on no
// monitor, and settings that cannot be saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"
#include "robustness.h"

namespace e2e {

int RunClipboardViewerProcess() {
    Viewer viewer(L"viewer in another process");
    viewer.Join();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// n times "x" and its report: texts of different lengths have different reports.
std::wstring Xs(int n) {
    return std::wstring(static_cast<size_t>(n), L'x');
}
std::wstring XReport(int n) {
    const std::wstring k = std::to_wstring(n);
    return L"字数:" + k + L"(" + k + L") 改行:0 " + k + L"byte\r\n全角:0(0) 半角:" + k + L"(" + k +
           L")\r\n全SP:0 半SP:0 タブ:0 ";
}

ClipFormat Marker(const wchar_t* name, std::string bytes = {}) {
    return {RegisterClipboardFormatW(name), std::move(bytes)};
}
std::string Dword(uint32_t value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

bool InFront(HWND hwnd) {
    return WaitUntil(
        [&] {
            SetForegroundWindow(hwnd);
            return GetForegroundWindow() == hwnd;
        },
        Ms(3000));
}

// The driver started again as another program's clipboard viewer; it joins after the program.
class ViewerProcess {
public:
    bool Start() {
        wchar_t exe[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(exe) + L"\" --clipboard-viewer";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info))
            return false;
        CloseHandle(info.hThread);
        process_.reset(info.hProcess);
        const DWORD pid = info.dwProcessId;
        return WaitUntil([&] {
            DWORD owner = 0;
            if (HWND head = GetClipboardViewer()) GetWindowThreadProcessId(head, &owner);
            return owner == pid;
        });
    }
    // Killed, so it never leaves the chain.
    void Kill() {
        if (!process_) return;
        TerminateProcess(process_.get(), 9);
        WaitForSingleObject(process_.get(), 5000);
        process_.reset();
    }
    ~ViewerProcess() { Kill(); }

private:
    quillet::UniqueKernelHandle process_;
};

// A well-behaved viewer on a thread of its own, whose window stops answering at the first
// notification after Arm() until the test ends.
class HungViewer {
public:
    HungViewer()
        : release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          thread_(CreateThread(nullptr, 0, &HungViewer::Run, this, 0, nullptr)) {
        WaitForSingleObject(ready_.get(), 10000);
    }
    ~HungViewer() {
        SetEvent(release_.get());
        HANDLE thread = thread_.get();
        WaitUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; });
    }
    void Arm() { armed_ = true; }
    bool hung() const { return hung_; }

private:
    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<HungViewer*>(param);
        Viewer viewer(L"viewer that hangs");
        viewer.on_notify = [self] {
            if (!self->armed_) return;
            self->hung_ = true;
            WaitForSingleObject(self->release_.get(), 60000);
            self->armed_ = false;
        };
        viewer.Join();
        SetEvent(self->ready_.get());
        HANDLE release = self->release_.get();
        while (MsgWaitForMultipleObjects(1, &release, FALSE, INFINITE, QS_ALLINPUT) !=
               WAIT_OBJECT_0)
            PumpMessages();
        return 0;
    }

    quillet::UniqueKernelHandle release_, ready_;
    std::atomic<bool> armed_{false}, hung_{false};
    quillet::UniqueKernelHandle thread_;
};

using RobustnessChain = QuilletE2E;

TEST_F(RobustnessChain, AViewerKilledWithoutLeavingTheChainCostsNoCount) {
    ASSERT_NO_FATAL_FAILURE(Start());
    std::vector<double> resumed;
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int size = 10 * round;
        ViewerProcess later;
        ASSERT_TRUE(later.Start()) << "the viewer process did not join the chain";
        ASSERT_TRUE(Counted({UnicodeText(Xs(size))}, XReport(size)));
        later.Kill();
        // The chain's head is gone: the system has no viewer left to tell of a change.
        ASSERT_TRUE(WaitUntil([] { return !IsWindow(GetClipboardViewer()); }));

        ASSERT_TRUE(PutMarker());
        ASSERT_TRUE(app_.Activate());
        const int heard = sync_.notifications();
        const auto copied = Clock::now();
        ASSERT_TRUE(PutOnClipboard(app_.hwnd(), {UnicodeText(Xs(size + 1))}));
        ASSERT_TRUE(WaitUntil([&] { return Report() == XReport(size + 1); }))
            << "not counted after the viewer died: " << Printable(Report());
        resumed.push_back(SecondsSince(copied));
        // The program took the dead viewer's place: the viewer behind it heard of the change.
        ASSERT_TRUE(WaitUntil([&] { return sync_.notifications() > heard; }))
            << "the viewer behind the program was not told of the change";
        EXPECT_EQ(GetClipboardViewer(), quillet_->main());
        // Taking the place again does not count the change a second time.
        ASSERT_TRUE(PutMarker());
        Pause(Ms(300));
        EXPECT_EQ(Report(), kMarker) << "the change was counted twice";
        EXPECT_TRUE(Counted({UnicodeText(Xs(size + 2))}, XReport(size + 2)));
    }
    const double median = Median(resumed);
    RecordProperty("seconds_until_counted_after_viewer_died_median", std::to_string(median));
    std::printf("dead viewer: first copy counted after %.3f s (median of %zu)\n", median,
                resumed.size());
}

TEST_F(RobustnessChain, AHungNextViewerDoesNotFreezeTheProgram) {
    HungViewer hung;  // joins before the program, so it follows the program in the chain
    ASSERT_NO_FATAL_FAILURE(Start());
    hung.Arm();
    ASSERT_TRUE(PutMarker());
    ASSERT_TRUE(app_.Activate());
    ASSERT_TRUE(PutOnClipboard(app_.hwnd(), {UnicodeText(kAbc)}));
    ASSERT_TRUE(WaitUntil([&] { return Report() == kAbcReport; })) << Printable(Report());
    ASSERT_TRUE(WaitUntil([&] { return hung.hung(); })) << "the change never reached the viewer";

    // Copies go on being counted while it hangs ...
    ASSERT_TRUE(PutOnClipboard(app_.hwnd(), {UnicodeText(kA)}));
    EXPECT_TRUE(WaitUntil([&] { return Report() == kAReport; })) << Printable(Report());
    // ... and posted messages (the close box's way) are handled: the program ends and saves.
    const auto closing = Clock::now();
    EXPECT_TRUE(quillet_->Close()) << "the program did not end while the next viewer hung";
    const double close = SecondsSince(closing);
    RecordProperty("seconds_to_close_with_hung_viewer", std::to_string(close));
    std::printf("hung next viewer: closed %.3f s after WM_CLOSE\n", close);
    EXPECT_TRUE(ConfBytes().has_value()) << "no Conf.txt written";
}

using RobustnessSecret = QuilletE2E;

TEST_F(RobustnessSecret, MarkedCopiesAreNeitherCountedNorRemembered) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct {
        const char* name;
        ClipFormat marker;
    } secrets[] = {
        {"ExcludeClipboardContentFromMonitorProcessing",
         Marker(L"ExcludeClipboardContentFromMonitorProcessing")},
        {"Clipboard Viewer Ignore", Marker(L"Clipboard Viewer Ignore")},
        {"CanIncludeInClipboardHistory = 0", Marker(L"CanIncludeInClipboardHistory", Dword(0))},
    };
    for (const auto& secret : secrets) {
        SCOPED_TRACE(secret.name);
        ASSERT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
        EXPECT_TRUE(Ignored({UnicodeText(kWorked), secret.marker}));
        // The text before the secret is still the last one counted ...
        EXPECT_TRUE(Ignored({UnicodeText(kAbc)}));
        // ... and the secret's text, copied openly, is new.
        EXPECT_TRUE(Counted({UnicodeText(kWorked)}, kWorkedReportNoSearch));
    }
    // A history marker that lets the copy be kept marks no secret.
    EXPECT_TRUE(Counted({UnicodeText(kAbc), Marker(L"CanIncludeInClipboardHistory", Dword(1))},
                        kAbcReport));
}

// "Another application" that renders its text only when the clipboard is read (delayed
// rendering), and may change the clipboard while that read is going on.
class LazySource : public Window {
public:
    LazySource()
        : Window(L"Lazy source", WS_POPUP | WS_BORDER | WS_VISIBLE, {400, 480, 700, 700}) {}
    // The blocks handed over, one after the other, when CF_TEXT is asked for.
    std::vector<std::string> render;
    // Copied openly as soon as the read that asked for the text is over.
    std::wstring then_copy;
    int requests = 0;

    bool Offer() {
        if (!WaitUntil([&] { return OpenClipboard(hwnd()) != 0; })) return false;
        const bool ok = EmptyClipboard() && SetClipboardData(CF_TEXT, nullptr) == nullptr;
        CloseClipboard();
        return ok;
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        constexpr UINT kCopyNow = WM_APP + 7;
        switch (msg) {
            case WM_RENDERFORMAT:
                ++requests;
                for (const std::string& bytes : render) {
                    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
                    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(GlobalLock(block)));
                    GlobalUnlock(block);
                    if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
                }
                if (!then_copy.empty()) PostMessageW(hwnd(), kCopyNow, 0, 0);
                return 0;
            case WM_RENDERALLFORMATS:
                return 0;
            case kCopyNow:
                PutOnClipboard(hwnd(), {UnicodeText(then_copy)});
                then_copy.clear();
                return 0;
            default:
                return Window::HandleMessage(msg, wp, lp);
        }
    }
};

using RobustnessHostile = QuilletE2E;

// A slow source keeps the clipboard open long after its copy, and the user clicks the program's
// window meanwhile: the copy is shown once the clipboard is free, and the window answers all the
// while.
TEST_F(RobustnessHostile, ACopyHeldOpenTenSecondsIsShownOnceFreeWhateverIsClicked) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND main = quillet_->main();
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    // The source opens the clipboard again right after its copy. Now and then the program reads
    // the copy before that: a try the program won says nothing, and the next copy tries again.
    int n = 0;
    for (int tries = 0; tries < 10 && n == 0; ++tries) {
        ASSERT_TRUE(PutMarker());
        ASSERT_TRUE(app_.Activate());
        n = 1000 + tries;
        ASSERT_TRUE(PutOnClipboard(app_.hwnd(), {UnicodeText(Xs(n))}));
        ASSERT_TRUE(WaitUntil([&] { return OpenClipboard(app_.hwnd()) != 0; }));
        ASSERT_EQ(GetForegroundWindow(), app_.hwnd()) << "the source did not stay in front";
        Pause(Ms(300));  // a copy read just before would show within this moment
        if (Report() != kMarker) {
            CloseClipboard();
            n = 0;
        }
    }
    ASSERT_NE(n, 0) << "the program read every copy before it was held";

    const auto held = Clock::now();
    RECT r = WindowRect(main);
    ASSERT_TRUE(PointerAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }))
        << "the click did not bring the program's window to the front";
    double slowest = 0;
    while (SecondsSince(held) < 10) {
        const auto asked = Clock::now();
        EXPECT_TRUE(Responds(main, Ms(1000))) << "frozen while the clipboard was held";
        slowest = std::max(slowest, SecondsSince(asked));
        Pause(Ms(50));
    }
    EXPECT_EQ(Report(), kMarker) << "read while the clipboard was held open?";
    CloseClipboard();
    const auto released = Clock::now();
    EXPECT_TRUE(WaitUntil([&] { return Report() == XReport(n); }, Ms(1500)))
        << "not shown within 1.5 s of the release: " << Printable(Report());
    std::printf(
        "held clipboard 10 s: shown %.3f s after it was let go; slowest answer meanwhile "
        "%.3f s\n",
        SecondsSince(released), slowest);
    ASSERT_TRUE(app_.Activate());
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
}

TEST_F(RobustnessHostile, ATextChangedWhileItIsReadNeitherCrashesNorStopsTheWatch) {
    ASSERT_NO_FATAL_FAILURE(Start());
    LazySource source;
    ASSERT_TRUE(InFront(source.hwnd()));

    ASSERT_TRUE(PutMarker());
    // The owner replaces a short text by a long one while the program reads it, then copies
    // again as soon as the read is over: the program lives on and counts the copy after it.
    source.render = {ToSjis(Xs(10)), ToSjis(Xs(100000))};
    source.then_copy = kWorked;
    ASSERT_TRUE(source.Offer());
    EXPECT_TRUE(WaitUntil([&] { return Report() == kWorkedReportNoSearch; }))
        << "the copy after the changing one: " << Printable(Report());
    EXPECT_GE(source.requests, 1) << "nobody asked for the delayed text";
    EXPECT_TRUE(Responds(quillet_->main(), Ms(2000)));
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
}

TEST_F(RobustnessHostile, ABurstOf200CopiesEndsShowingTheLastOne) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(PutMarker());
    ASSERT_TRUE(app_.Activate());
    const auto start = Clock::now();
    for (int n = 1; n <= 200; ++n) ASSERT_TRUE(PutOnClipboard(app_.hwnd(), {UnicodeText(Xs(n))}));
    const double copying = SecondsSince(start);
    const auto last = Clock::now();
    EXPECT_TRUE(WaitUntil([&] { return Report() == XReport(200); }, Ms(30000)))
        << Printable(Report());
    const double settle = SecondsSince(last);
    RecordProperty("seconds_copying_200", std::to_string(copying));
    RecordProperty("seconds_until_last_report", std::to_string(settle));
    std::printf("burst: 200 copies in %.3f s, last report %.3f s after the last copy\n", copying,
                settle);
    EXPECT_TRUE(Responds(quillet_->main(), Ms(2000)));
    EXPECT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

using RobustnessPlacement = QuilletE2E;

TEST_F(RobustnessPlacement, APlaceOnNoMonitorComesBackOntoTheWorkArea) {
    // Saved on a monitor right of and above this one, which is gone.
    ASSERT_NO_FATAL_FAILURE(WriteConf(
        L"form left = 150000\r\nform top = -90000\r\nform width = 6000\r\nform height = 1800\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    const RECT frame = WindowRect(quillet_->main());
    EXPECT_EQ(frame.right - frame.left, 400);
    EXPECT_EQ(frame.bottom - frame.top, 120);
    EXPECT_EQ(frame.right, work.right);
    EXPECT_EQ(frame.top, work.top);

    ASSERT_TRUE(quillet_->Close());
    const auto lines = Lines(ConfBytes().value_or(""));
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "form left = " + std::to_string((work.right - 400) * 15));
    EXPECT_EQ(lines[1], "form top = " + std::to_string(work.top * 15));
}

std::vector<std::wstring> TempFiles(const TempDir& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(dir.File(L"*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// The program's message boxes.
std::vector<HWND> MessageBoxes(DWORD pid) {
    std::vector<HWND> boxes;
    for (HWND hwnd : TopLevelWindows(pid, L"#32770"))
        if (IsWindowVisible(hwnd)) boxes.push_back(hwnd);
    return boxes;
}

using RobustnessSave = QuilletE2E;

TEST_F(RobustnessSave, AStrayTempFileThatCannotBeOverwrittenDoesNotBlockTheSave) {
    const std::wstring stray = dir_.File(L"Conf.txt.tmp");
    for (DWORD attributes : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN}) {
        SCOPED_TRACE(attributes == FILE_ATTRIBUTE_READONLY ? "read-only" : "hidden");
        ASSERT_TRUE(WriteFileBytes(stray, "left by someone else"));
        ASSERT_TRUE(SetFileAttributesW(stray.c_str(), attributes));
        ASSERT_NO_FATAL_FAILURE(WriteConf(L"search string = 前\r\n"));
        ASSERT_NO_FATAL_FAILURE(Start());
        // No message: the process ends by itself.
        ASSERT_TRUE(quillet_->Close()) << "the program did not end";
        const auto lines = Lines(ConfBytes().value_or(""));
        ASSERT_EQ(lines.size(), 11u) << "Conf.txt was not saved";
        EXPECT_EQ(lines[7], ToSjis(L"search string = 前"));
        EXPECT_EQ(ReadFileBytes(stray).value_or(""), "left by someone else");
        EXPECT_EQ(TempFiles(dir_), std::vector<std::wstring>{L"Conf.txt.tmp"});
        SetFileAttributesW(stray.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Conf.txt held open without sharing by another program: the new file cannot take its place,
// as in a folder the user may not write to. (Under Wine, as root, a read-only folder does not
// refuse writes.)
class RobustnessSaveRefused : public QuilletE2E {
protected:
    void SetUp() override {
        QuilletE2E::SetUp();
        ASSERT_NO_FATAL_FAILURE(WriteConf(L"search string = 前\r\n"));
        old_ = ConfBytes().value_or("");
        ASSERT_NO_FATAL_FAILURE(Start());
        lock_.reset(CreateFileW(dir_.File(L"Conf.txt").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock_);
    }
    void ExpectOldFileAndNoTempFile() {
        lock_.reset();
        EXPECT_EQ(ConfBytes().value_or("(none)"), old_);
        EXPECT_TRUE(TempFiles(dir_).empty());
    }
    std::string old_;
    quillet::UniqueFile lock_;
};

TEST_F(RobustnessSaveRefused, ClosingShowsWhereTheSettingsCouldNotBeWritten) {
    const DWORD pid = quillet_->process().pid();
    PostMessageW(quillet_->main(), WM_CLOSE, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        const auto boxes = MessageBoxes(pid);
        if (!boxes.empty()) box = boxes.front();
        return box != nullptr || !quillet_->process().Running();
    }));
    ASSERT_TRUE(box) << "the program ended without a word";
    EXPECT_TRUE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetForegroundWindow(), box);
    const std::wstring message = MessageText(box);
    EXPECT_NE(message.find(L"設定を保存できませんでした"), std::wstring::npos)
        << Printable(message);
    const std::wstring folder = dir_.path().substr(dir_.path().find_last_of(L'\\') + 1);
    EXPECT_NE(message.find(folder + L"\\Conf.txt"), std::wstring::npos) << Printable(message);
    // The close box again while the message is up changes nothing.
    PostMessageW(quillet_->main(), WM_CLOSE, 0, 0);
    Pause(Ms(300));
    EXPECT_EQ(MessageBoxes(pid).size(), 1u);

    std::vector<HWND> buttons;
    for (HWND button : ChildWindows(box, L"Button"))
        if (IsWindowVisible(button)) buttons.push_back(button);
    ASSERT_EQ(buttons.size(), 1u);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(buttons[0]));
    EXPECT_TRUE(quillet_->process().WaitExit()) << "the program did not end after OK";
    ExpectOldFileAndNoTempFile();
}

TEST_F(RobustnessSaveRefused, NoMessageWhenTheSessionEnds) {
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(quillet_->main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_NORMAL, 10000, &result));
    ASSERT_TRUE(SendMessageTimeoutW(quillet_->main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                    SMTO_NORMAL, 10000, &result))
        << "the program did not return from WM_ENDSESSION";
    EXPECT_TRUE(MessageBoxes(quillet_->process().pid()).empty());
    ExpectOldFileAndNoTempFile();
}

}  // namespace
}  // namespace e2e
