// The clipboard watch when memory runs out: a text too large to hold is skipped, nothing is
// counted or remembered, and the watch goes on. The allocation failures are real: this test
// program's operator new refuses blocks above a ceiling that a test sets.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "shell/app_state.h"
#include "shell/clip_watch.h"

namespace {
std::size_t g_ceiling = 0;  // 0: no ceiling
}  // namespace

void* operator new(std::size_t size) {
    if (g_ceiling != 0 && size > g_ceiling) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace quillet::shell {
namespace {

// Blocks larger than `bytes` cannot be had while it lives.
class AllocationCeiling {
public:
    explicit AllocationCeiling(std::size_t bytes) { g_ceiling = bytes; }
    ~AllocationCeiling() { g_ceiling = 0; }
    AllocationCeiling(const AllocationCeiling&) = delete;
    AllocationCeiling& operator=(const AllocationCeiling&) = delete;
};

constexpr std::size_t kLarge = std::size_t{8} << 20;
constexpr std::size_t kCeiling = std::size_t{4} << 20;

void Pump() {
    for (int i = 0; i < 10; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

class RobustWatchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        main_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 0, 0,
                                10, 10, nullptr, nullptr, nullptr, nullptr);
        other_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 20,
                                 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(other_);
        DestroyWindow(main_);
    }
    void SetUp() override {
        ASSERT_TRUE(main_ && other_);
        app_.wnd.MainHwnd = main_;
        SetForegroundWindow(other_);
        Pump();
    }
    void TearDown() override {
        watch_.Stop(main_);
        Pump();
    }

    // CF_TEXT of `bytes`, copied by the "other" window.
    void Copy(const std::string& bytes) {
        for (int i = 0; i < 100 && !OpenClipboard(other_); ++i) Sleep(20);
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
        char* p = static_cast<char*>(GlobalLock(block));
        std::memcpy(p, bytes.data(), bytes.size());
        p[bytes.size()] = '\0';
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
        CloseClipboard();
        Pump();
    }

    static inline HWND main_ = nullptr;
    static inline HWND other_ = nullptr;
    AppState app_;
    std::vector<std::size_t> counted_;  // the lengths of the texts counted
    bool failCount_ = false;            // the count itself runs out of memory
    ClipWatch watch_{app_, [this](const std::u16string& text) {
                         if (failCount_) throw std::bad_alloc();
                         counted_.push_back(text.size());
                     }};
};

TEST_F(RobustWatchTest, ATextTooLargeToHoldIsSkippedAndTheWatchGoesOn) {
    watch_.Start(main_);
    Copy("before");
    const std::string large(kLarge, 'x');
    {
        AllocationCeiling ceiling(kCeiling);
        Copy(large);
    }
    EXPECT_EQ(app_.wnd.LastText, u"before");
    Copy("after");
    EXPECT_EQ(counted_, (std::vector<std::size_t>{6, 5}));
}

TEST_F(RobustWatchTest, ACountThatRunsOutOfMemoryLeavesTheLastTextAsBefore) {
    watch_.Start(main_);
    Copy("before");
    failCount_ = true;
    Copy("failed");
    failCount_ = false;
    EXPECT_EQ(app_.wnd.LastText, u"before");
    // Not remembered as counted: the same text again counts.
    Copy("failed");
    EXPECT_EQ(counted_, (std::vector<std::size_t>{6, 6}));
    EXPECT_EQ(app_.wnd.LastText, u"failed");
}

}  // namespace
}  // namespace quillet::shell
