#include "measure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "harness.h"

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

void PrintMemory(const char* what, HANDLE process) {
    const auto bytes = PrivateBytes(process);
    if (bytes)
        std::printf("%-34s %8.1f MiB (%llu bytes)\n", what, *bytes / 1048576.0,
                    static_cast<unsigned long long>(*bytes));
    else
        std::printf("%-34s unavailable\n", what);
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

}  // namespace

int RunMeasurements() {
    if (QuilletExe().empty()) {
        std::fprintf(stderr, "--quillet=PATH is needed\n");
        return 2;
    }
    TempDir dir;
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
    PrintMemory("private memory after start", quillet.process().handle());

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
    PrintMemory("private memory after 20 MiB", quillet.process().handle());
    WaitUntil([] { return false; }, Ms(2000));
    PrintMemory("private memory 2 s later", quillet.process().handle());

    if (!quillet.Close()) ++failures;
    return failures == 0 ? 0 : 1;
}

}  // namespace e2e
