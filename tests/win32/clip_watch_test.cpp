// The clipboard watch on the real viewer chain: what it counts, what it passes on, and in which
// order, with test windows playing the other programs.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "allocation_ceiling.h"
#include "clipboard/clip_watch.h"
#include "platform/unique_handle.h"

namespace quillet::clip {
namespace {

std::vector<std::wstring> g_log;  // counts and other viewers' notifications, in order

void Pump() {
    // Clipboard notifications may be posted or sent from Wine's clipboard manager.
    for (int i = 0; i < 10; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

// Another program's clipboard viewer that behaves as the documentation asks.
class Viewer {
public:
    explicit Viewer(std::wstring name) : name_(std::move(name)) {
        static const bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &Viewer::Proc;
            wc.lpszClassName = L"QuilletTestViewer";
            return RegisterClassW(&wc) != 0;
        }();
        (void)registered;
        hwnd_.reset(CreateWindowW(L"QuilletTestViewer", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr));
        SetWindowLongPtrW(hwnd_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Viewer() { Leave(); }
    void Join() {
        joined_ = true;
        next_ = SetClipboardViewer(hwnd_.get());
    }
    void Leave() {
        if (joined_) ChangeClipboardChain(hwnd_.get(), next_);
        joined_ = false;
    }
    HWND get() const { return hwnd_.get(); }
    std::function<void()> onChain;  // runs once, after a chain notice is handled

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<Viewer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == WM_DRAWCLIPBOARD) {
            g_log.push_back(self->name_ + L":draw");
            if (self->next_) SendMessageW(self->next_, msg, wp, lp);
            return 0;
        }
        if (self && msg == WM_CHANGECBCHAIN) {
            g_log.push_back(self->name_ + L":chain");
            if (reinterpret_cast<HWND>(wp) == self->next_) {
                self->next_ = reinterpret_cast<HWND>(lp);
            } else if (self->next_) {
                SendMessageW(self->next_, msg, wp, lp);
            }
            if (self->onChain) std::exchange(self->onChain, {})();
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    std::wstring name_;
    UniqueWindow hwnd_;
    HWND next_ = nullptr;
    bool joined_ = false;
};

class ClipWatchTest : public ::testing::Test {
protected:
    // The watched window stands in for the main window; "other" for the program copied from.
    // Made once: under Wine without a window manager, destroying a shown window takes seconds.
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
        Copy(L"present before the watch starts");
        SetForegroundWindow(other_);
        Pump();
        g_log.clear();
    }
    void TearDown() override {
        watch_.Stop(main_);
        Pump();
    }

    // A copy made by the "other" window (or `owner`), whatever window is in front.
    void Copy(const std::wstring& text, HWND owner = other_) {
        for (int i = 0; i < 100 && !OpenClipboard(owner); ++i) Sleep(20);
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
        Pump();
    }
    // CF_TEXT of `bytes`, copied by the "other" window.
    void CopyBytes(const std::string& bytes) {
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
    void CopyNoText() {
        for (int i = 0; i < 100 && !OpenClipboard(other_); ++i) Sleep(20);
        EmptyClipboard();
        const UINT format = RegisterClipboardFormatW(L"QuilletTestPicture");
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
        SetClipboardData(format, block);
        CloseClipboard();
        Pump();
    }

    static inline HWND main_ = nullptr;
    static inline HWND other_ = nullptr;
    bool failCount_ = false;  // the count itself runs out of memory
    std::function<void(const std::u16string&)> whileShowing_;  // runs inside the count
    bool wantsUnicode_ = false;
    std::u16string unicode_;    // what the last count got besides CF_TEXT
    bool showNothing_ = false;  // the count finds nothing to show
    ClipWatch watch_{[this](const std::u16string& text, const std::u16string& unicode) {
                         if (failCount_) throw std::bad_alloc();
                         if (showNothing_) return false;
                         g_log.push_back(L"count:" + std::wstring(text.begin(), text.end()));
                         unicode_ = unicode;
                         if (whileShowing_) whileShowing_(text);
                         return true;
                     },
                     // Every window here is of one process: the watched one stands for ours.
                     [](HWND owner) { return owner == main_; }, [this] { return wantsUnicode_; }};
};

TEST_F(ClipWatchTest, TheTextPresentAtStartIsNotCountedButTheNextCopyIs) {
    watch_.Start(main_);
    Pump();
    EXPECT_TRUE(g_log.empty());
    Copy(L"new");
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"count:new"}));
    EXPECT_EQ(watch_.LastText(), u"new");
}

TEST_F(ClipWatchTest, RepeatsAreCountedOnceAndChangesWithoutTextNotAtAll) {
    watch_.Start(main_);
    for (const wchar_t* text : {L"A", L"A", L"B", L"A"}) Copy(text);
    CopyNoText();
    Copy(L"A");  // the picture left the last counted text as it was
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"count:A", L"count:B", L"count:A"}));
}

// Who made a copy decides, not which window is in front.
TEST_F(ClipWatchTest, OwnCopiesAreNotCountedAndOthersAreWhateverIsInFront) {
    watch_.Start(main_);
    Copy(L"other's");
    SetForegroundWindow(main_);
    Copy(L"ours", main_);
    EXPECT_EQ(watch_.LastText(), u"other's") << "an own copy replaced the last counted text";
    Copy(L"other's while ours is in front");
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"count:other's",
                                                L"count:other's while ours is in front"}));
}

TEST_F(ClipWatchTest, TheNextViewerHearsOfEveryChangeAfterTheCount) {
    Viewer before(L"before");
    before.Join();
    watch_.Start(main_);
    EXPECT_EQ(watch_.NextViewer(), before.get());
    Viewer after(L"after");
    after.Join();
    Pump();
    g_log.clear();

    Copy(L"x");
    Copy(L"x");  // not counted, still passed on
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"after:draw", L"count:x", L"before:draw",
                                                L"after:draw", L"before:draw"}));
}

TEST_F(ClipWatchTest, OurSuccessorLeavingHandsUsItsSuccessor) {
    Viewer last(L"last");
    last.Join();
    Viewer middle(L"middle");
    middle.Join();
    watch_.Start(main_);
    ASSERT_EQ(watch_.NextViewer(), middle.get());
    g_log.clear();

    middle.Leave();
    Pump();
    EXPECT_EQ(watch_.NextViewer(), last.get());
    EXPECT_EQ(g_log, std::vector<std::wstring>{});  // the notice went no further

    Copy(L"y");
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"count:y", L"last:draw"}));
}

TEST_F(ClipWatchTest, AnotherViewerLeavingIsPassedOnAndOurSuccessorKept) {
    Viewer last(L"last");
    last.Join();
    Viewer next(L"next");
    next.Join();
    watch_.Start(main_);
    g_log.clear();

    // "last" leaves: the notice reaches us first (we are at the head) and goes down the chain.
    last.Leave();
    Pump();
    EXPECT_EQ(watch_.NextViewer(), next.get());
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"next:chain"}));
}

// Our successor hears that a viewer further down leaves, and leaves itself while it passes that
// on: the change it tells us of, inside our forward, is the one that stays.
TEST_F(ClipWatchTest, AChainChangeInsideAForwardIsKept) {
    Viewer last(L"last");
    last.Join();
    Viewer middle(L"middle");
    middle.Join();
    Viewer next(L"next");
    next.Join();
    watch_.Start(main_);
    next.onChain = [&next] { next.Leave(); };
    g_log.clear();

    last.Leave();
    Pump();
    EXPECT_EQ(watch_.NextViewer(), middle.get()) << "the viewer that left is still our successor";
    Copy(L"v");
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"next:chain", L"middle:chain", L"count:v",
                                                L"middle:draw"}));
}

TEST_F(ClipWatchTest, AfterStoppingNothingIsCountedAndTheChainStaysWhole) {
    Viewer before(L"before");
    before.Join();
    watch_.Start(main_);
    watch_.Stop(main_);
    Pump();
    g_log.clear();

    Copy(L"z");
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"before:draw"}));

    // Started again, the watch counts again and the text counted last before the pause stays.
    watch_.Start(main_);
    Pump();
    Copy(L"w");
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"before:draw", L"count:w", L"before:draw"}));
}

// The settings flow stops and restarts the watch: any order of starts and stops, any number of
// times, leaves the window once in the chain, between the viewers before and after it.
TEST_F(ClipWatchTest, StartsAndStopsInAnyOrderKeepOnePlaceInTheChain) {
    Viewer before(L"before");
    before.Join();
    const char* const sequences[] = {"SS", "SPS", "SPPS", "PS", "SPSS"};
    int round = 0;
    for (const char* calls : sequences) {
        SCOPED_TRACE(calls);
        for (const char* c = calls; *c; ++c) *c == 'S' ? watch_.Start(main_) : watch_.Stop(main_);
        Viewer after(L"after");
        after.Join();
        Pump();
        g_log.clear();
        const std::wstring text = L"round " + std::to_wstring(++round);
        Copy(text);
        EXPECT_EQ(watch_.NextViewer(), before.get());
        EXPECT_EQ(g_log,
                  (std::vector<std::wstring>{L"after:draw", L"count:" + text, L"before:draw"}));
        after.Leave();
        watch_.Stop(main_);
        Pump();
    }
    g_log.clear();
    Copy(L"after the last stop");
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"before:draw"}));
}

// Showing a count waits on other processes (the tray tip), and a copy made meanwhile is
// delivered inside that wait. It is looked at, and passed on, only once the count in hand has
// been shown and remembered: one level deep, however many copies come.
TEST_F(ClipWatchTest, ACopyMadeWhileACountIsShownWaitsForIt) {
    Viewer before(L"before");
    before.Join();
    watch_.Start(main_);
    Pump();
    g_log.clear();
    whileShowing_ = [this](const std::u16string& text) {
        if (text == u"A") Copy(L"B");  // Copy pumps: the notification arrives now
        g_log.push_back(L"shown:" + std::wstring(text.begin(), text.end()));
    };
    Copy(L"A");
    Pump();
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"count:A", L"shown:A", L"before:draw", L"count:B",
                                                L"shown:B", L"before:draw"}));
    EXPECT_EQ(watch_.LastText(), u"B");
}

// The figures' Unicode text comes from the same look as CF_TEXT, and only while it is asked for;
// a program that put only CF_TEXT gets the system's conversion of it.
TEST_F(ClipWatchTest, TheUnicodeTextIsReadOnlyWhenAskedFor) {
    watch_.Start(main_);
    Copy(L"猫\U0001F44D");
    EXPECT_EQ(unicode_, u"") << "read although no figure asked for it";
    wantsUnicode_ = true;
    Copy(L"犬\U0001F44D");
    EXPECT_EQ(unicode_, u"犬\U0001F44D");
    CopyBytes("\x8B\x9B\r\n");  // 「魚」 CR LF in Shift-JIS only
    EXPECT_EQ(unicode_, u"魚\r\n");
    ASSERT_EQ(g_log.size(), 3u);
    EXPECT_EQ(g_log[2], L"count:魚\r\n");
}

// Memory running out, for real: nothing is counted or remembered, and the watch goes on.
TEST_F(ClipWatchTest, ATextTooLargeToHoldIsSkippedAndTheWatchGoesOn) {
    watch_.Start(main_);
    CopyBytes("before");
    const std::string large(std::size_t{8} << 20, 'x');
    {
        test::AllocationCeiling ceiling(std::size_t{4} << 20);
        CopyBytes(large);
    }
    EXPECT_EQ(watch_.LastText(), u"before");
    CopyBytes("after");
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"count:before", L"count:after"}));
}

// A count that failed, or found nothing to show by the time it looked, leaves the last text as it
// was: the same text copied again counts.
TEST_F(ClipWatchTest, ACountThatShowedNothingLeavesTheLastTextAsBefore) {
    for (bool* failure : {&failCount_, &showNothing_}) {
        watch_.Start(main_);
        CopyBytes("before");
        *failure = true;
        CopyBytes("failed");
        *failure = false;
        EXPECT_EQ(watch_.LastText(), u"before");
        CopyBytes("failed");
        EXPECT_EQ(g_log, (std::vector<std::wstring>{L"count:before", L"count:failed"}));
        EXPECT_EQ(watch_.LastText(), u"failed");
        watch_.Stop(main_);
        g_log.clear();
    }
}

}  // namespace
}  // namespace quillet::clip
