#include "measure.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "harness.h"
#include "resource.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;
constexpr wchar_t kMarker[] = L"(the driver's marker)";
constexpr int kRepeats = 20;

// Milliseconds from writing the clipboard until txtDescription no longer shows the marker.
std::optional<double> CopyToReport(Quillet& quillet, AppWindow& app, const std::string& sjis) {
    HWND text = quillet.description();
    if (!SetWindowTextOf(text, kMarker) || !app.Activate()) return std::nullopt;
    const auto start = Clock::now();
    if (!PutOnClipboard(app.hwnd(), {{CF_TEXT, sjis + '\0'}})) return std::nullopt;
    const bool shown = WaitUntil(
        [&] {
            const auto now = WindowText(text, Ms(60000));
            return now && *now != kMarker;
        },
        Ms(60000));
    if (!shown) return std::nullopt;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void PrintLatency(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %8.2f ms  (min %.2f, max %.2f, n=%zu)\n", what, ms[ms.size() / 2],
                ms.front(), ms.back(), ms.size());
}

// Wine leaves PrivateUsage at 0 for other processes, so the Unix side's figures of the same
// process are printed too: its /proc entry is found through Wine's Z: drive by the command line,
// which holds the program's unique temporary folder.
std::optional<std::string> UnixStatus(const std::wstring& folder_name) {
    const std::string needle = ToSjis(folder_name);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> status;
    do {
        const std::wstring name = found.cFileName;
        if (name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const auto cmdline = ReadFileBytes(L"Z:\\proc\\" + name + L"\\cmdline");
        if (cmdline && cmdline->find(needle) != std::string::npos &&
            cmdline->find("Quillet.exe") != std::string::npos)
            status = ReadFileBytes(L"Z:\\proc\\" + name + L"\\status");
    } while (!status && FindNextFileW(search, &found));
    FindClose(search);
    return status;
}

std::string StatusField(const std::string& status, const std::string& key) {
    const size_t at = status.find("\n" + key + ":");
    if (at == std::string::npos) return "?";
    const size_t start = status.find_first_not_of(" \t", at + key.size() + 2);
    return status.substr(start, status.find('\n', start) - start);
}

void PrintMemory(const char* what, Quillet& quillet, const std::wstring& folder_name) {
    PROCESS_MEMORY_COUNTERS_EX c{};
    c.cb = sizeof c;
    if (GetProcessMemoryInfo(quillet.process().handle(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c))
        std::printf("%-34s PrivateUsage %.1f MiB, WorkingSetSize %.1f MiB\n", what,
                    c.PrivateUsage / 1048576.0, c.WorkingSetSize / 1048576.0);
    else
        std::printf("%-34s GetProcessMemoryInfo failed\n", what);
    if (const auto status = UnixStatus(folder_name))
        std::printf("%-34s Unix side: RssAnon %s, VmRSS %s, VmSize %s\n", "",
                    StatusField(*status, "RssAnon").c_str(), StatusField(*status, "VmRSS").c_str(),
                    StatusField(*status, "VmSize").c_str());
}

// Text of about `bytes` Shift-JIS bytes, different for each `variant` so that each copy counts.
std::string TextOf(size_t bytes, int variant) {
    const std::string unit = ToSjis(L"Hello, 世界！\r\nｱｲ　x\ty\r\n");
    std::string text;
    text.reserve(bytes + 64);
    while (text.size() + unit.size() <= bytes) text += unit;
    text += std::to_string(variant);
    return text;
}

// Milliseconds from writing the clipboard until the tray-mode popup shows the new report. With
// `fresh` the popup of the copy before is closed first, so the copy loads a new one; otherwise
// the open popup is laid out again.
std::optional<double> CopyToPopup(Quillet& quillet, AppWindow& app, const std::string& sjis,
                                  bool fresh) {
    const DWORD pid = quillet.process().pid();
    std::wstring before;
    if (fresh) {
        for (HWND old : TopLevelWindows(pid, QUILLET_POPUP_CLASS))
            PostMessageW(old, WM_CLOSE, 0, 0);
        if (!WaitUntil([&] { return TopLevelWindows(pid, QUILLET_POPUP_CLASS).empty(); }))
            return std::nullopt;
    } else {
        for (HWND open : TopLevelWindows(pid, QUILLET_POPUP_CLASS))
            before = WindowText(GetDlgItem(open, IDC_TXTDESCRIPTION)).value_or(L"");
    }
    if (!app.Activate()) return std::nullopt;
    const auto start = Clock::now();
    if (!PutOnClipboard(app.hwnd(), {{CF_TEXT, sjis + '\0'}})) return std::nullopt;
    const bool shown = WaitUntil(
        [&] {
            for (HWND popup : TopLevelWindows(pid, QUILLET_POPUP_CLASS)) {
                if (!IsWindowVisible(popup)) continue;
                const auto text = WindowText(GetDlgItem(popup, IDC_TXTDESCRIPTION), Ms(60000));
                if (text && text->rfind(L"字数:", 0) == 0 && *text != before) return true;
            }
            return false;
        },
        Ms(60000));
    if (!shown) return std::nullopt;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Milliseconds from starting the program in tray mode until its icon is in the shell's tray,
// with the start notice (`customMsg` 1) or without it.
std::optional<double> StartToIcon(int customMsg) {
    TempDir dir;
    const std::wstring exe = dir.File(L"Quillet.exe");
    const std::string conf = "task tray = 1\r\ncustom msg = " + std::to_string(customMsg) + "\r\n";
    if (!CopyFileW(QuilletExe().c_str(), exe.c_str(), FALSE) ||
        !WriteFileBytes(dir.File(L"Conf.txt"), conf))
        return std::nullopt;
    const auto start = Clock::now();
    Quillet quillet(exe);
    const bool shown = quillet.ok() && WaitUntil([] { return !TrayTips().empty(); }, Ms(20000));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!quillet.Close() || !shown) return std::nullopt;
    return ms;
}

// The same copies in tray mode, in a second run of the program (one instance at a time).
int MeasureTrayMode() {
    int startFailures = 0;
    for (int customMsg : {0, 1}) {
        std::vector<double> ms;
        for (int i = 0; i < 5; ++i)
            if (auto t = StartToIcon(customMsg)) ms.push_back(*t);
        const char* what = customMsg ? "start to tray icon, with notice" : "start to tray icon";
        if (ms.size() == 5)
            PrintLatency(what, ms);
        else
            ++startFailures, std::printf("%-34s failed\n", what);
    }
    TempDir dir;
    const std::wstring exe = dir.File(L"Quillet.exe");
    if (!CopyFileW(QuilletExe().c_str(), exe.c_str(), FALSE)) return 1;
    if (!WriteFileBytes(dir.File(L"Conf.txt"),
                        "task tray = 1\r\ncustom msg = 0\r\ntime auto close = 30\r\n"))
        return 1;
    AppWindow app;
    app.Activate();
    Quillet quillet(exe);
    if (!quillet.ok() || !quillet.WaitWatching()) {
        std::fprintf(stderr, "the program did not start in tray mode\n");
        return 1;
    }
    int failures = 0;
    struct Run {
        const char* what;
        size_t size;
        bool fresh;
    };
    int variant = 0;
    for (const Run& run : {Run{"copy to new popup, small text", 20, true},
                           Run{"copy to new popup, 1 MiB text", 1 << 20, true},
                           Run{"copy to open popup, small text", 20, false}}) {
        const char* what = run.what;
        std::vector<double> ms;
        for (int i = 0; i < kRepeats; ++i) {
            // A length of its own for each copy, so that each report differs from the last.
            ++variant;
            const std::string text = TextOf(run.size, variant) + std::string(variant % 7 + 1, 'a');
            if (auto t = CopyToPopup(quillet, app, text, run.fresh)) ms.push_back(*t);
        }
        if (ms.size() == kRepeats)
            PrintLatency(what, ms);
        else
            ++failures, std::printf("%-34s failed\n", what);
    }
    if (!quillet.Close()) ++failures;
    return failures + startFailures;
}

}  // namespace

int RunMeasurements() {
    if (QuilletExe().empty()) {
        std::fprintf(stderr, "--quillet=PATH is needed\n");
        return 2;
    }
    TempDir dir;
    const std::wstring folder_name = dir.path().substr(dir.path().find_last_of(L'\\') + 1);
    const std::wstring exe = dir.File(L"Quillet.exe");
    if (!CopyFileW(QuilletExe().c_str(), exe.c_str(), FALSE)) return 2;
    AppWindow app;
    app.Activate();
    Quillet quillet(exe);
    if (!quillet.ok() || !quillet.WaitWatching()) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    WaitUntil([] { return false; }, Ms(1000));  // let start-up settle
    PrintMemory("memory after start", quillet, folder_name);

    int failures = 0;
    for (const auto& [what, size] : std::vector<std::pair<const char*, size_t>>{
             {"copy to report, small text", 20}, {"copy to report, 1 MiB text", 1 << 20}}) {
        std::vector<double> ms;
        for (int i = 0; i < kRepeats; ++i)
            if (auto t = CopyToReport(quillet, app, TextOf(size, i))) ms.push_back(*t);
        if (ms.size() == kRepeats)
            PrintLatency(what, ms);
        else
            ++failures, std::printf("%-34s failed\n", what);
    }

    if (auto t = CopyToReport(quillet, app, TextOf(20u << 20, 0)))
        std::printf("%-34s %8.2f ms (once)\n", "copy to report, 20 MiB text", *t);
    else
        ++failures, std::printf("%-34s failed\n", "copy to report, 20 MiB text");
    PrintMemory("memory after counting 20 MiB", quillet, folder_name);
    WaitUntil([] { return false; }, Ms(2000));
    PrintMemory("memory 2 s later", quillet, folder_name);

    if (!quillet.Close()) ++failures;
    failures += MeasureTrayMode();
    return failures == 0 ? 0 : 1;
}

}  // namespace e2e
