// The end-to-end driver: GoogleTest scenarios against Quillet.exe, or, with --measure, the
// measurements printed instead.
//   --quillet=PATH     the program under test (Unix or Windows path)
//   --handshake=DIR    folder for the hand-shake with xclip_test.sh
//   --two-monitors     on the desktop of two_monitors.sh: run the TwoMonitors suites
//   --measure          print latencies and memory figures, run no tests
//   --clipboard-viewer be a clipboard viewer of another process until killed
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fixture.h"
#include "harness.h"
#include "measure.h"
#include "robustness.h"

namespace {
std::wstring Widen(const char* s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s, -1, out.data(), n);
    return out;
}
}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    bool measure = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--quillet=", 10) == 0)
            e2e::SetQuilletExe(Widen(argv[i] + 10));
        else if (std::strncmp(argv[i], "--handshake=", 12) == 0)
            e2e::SetHandshakeDir(Widen(argv[i] + 12));
        else if (std::strcmp(argv[i], "--two-monitors") == 0)
            e2e::SetOnTwoMonitors();
        else if (std::strcmp(argv[i], "--measure") == 0)
            measure = true;
        else if (std::strcmp(argv[i], "--clipboard-viewer") == 0)
            return e2e::RunClipboardViewerProcess();
    }
    if (measure) return e2e::RunMeasurements();
    return RUN_ALL_TESTS();
}
