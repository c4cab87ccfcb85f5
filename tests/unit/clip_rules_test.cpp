// The clipboard watch's decisions, without a window system: which changes are looked at, which
// texts are new, which copies are secret, and how the viewer chain is kept.
#include <gtest/gtest.h>

#include <string>

#include "clipboard/clip_rules.h"

namespace quillet::clip {
namespace {

using namespace std::string_view_literals;

constexpr WindowId kOther = 0x3003;

TEST(ClipRules, OnlyACopyOwnedByAWindowOfThisProcessIsOurOwn) {
    EXPECT_TRUE(IsOwnCopy(42, 42));
    EXPECT_FALSE(IsOwnCopy(7, 42));
    EXPECT_FALSE(IsOwnCopy(0, 42)) << "a copy without an owner";
}

TEST(ClipRules, AHeldClipboardIsTriedAgainSoonThenEverySecondForAMinuteAndMore) {
    const struct {
        int tries;
        std::uint64_t waitedMs;
        std::optional<unsigned> delay;
    } cases[] = {
        {0, 0, 100},           {1, 100, 200},
        {2, 300, 400},         {3, 700, 800},
        {4, 1500, 1000},       {60, 59'000, 1000},
        {5000, 89'999, 1000},  {80, kRetryForMs, std::nullopt},
        {-1, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RetryDelay(c.tries, c.waitedMs), c.delay) << c.tries << " tries";
    }
    // Looks taken back to back, each after its delay: still looking a minute on.
    std::uint64_t waited = 0;
    int tries = 0;
    while (const auto delay = RetryDelay(tries++, waited)) waited += *delay;
    EXPECT_GE(waited, 60'000u);
}

TEST(ClipRules, OnlyATextThatDiffersInSomeCodeUnitIsNew) {
    EXPECT_FALSE(IsNewText(u"猫", u"猫"));
    EXPECT_FALSE(IsNewText(u"", u""));
    // Case and width matter here, unlike the loose search.
    EXPECT_TRUE(IsNewText(u"abc", u"ABC"));
    EXPECT_TRUE(IsNewText(u"ａ", u"a"));
    EXPECT_TRUE(IsNewText(u"abc", u"abc "));
    EXPECT_TRUE(IsNewText(u"x", u""));
}

TEST(ClipRules, WithTheUnicodeTextReadItsDifferenceMakesACopyNewToo) {
    // 👍 then 😀: both "?" in Shift-JIS.
    EXPECT_TRUE(IsNewCopy(u"?", u"?", true, u"😀", u"👍"));
    EXPECT_FALSE(IsNewCopy(u"?", u"?", false, u"", u"👍")) << "not read: the old rule alone";
    EXPECT_FALSE(IsNewCopy(u"?", u"?", true, u"👍", u"👍"));
    EXPECT_TRUE(IsNewCopy(u"a", u"b", true, u"a", u"a"));
}

TEST(ClipRules, OurDirectSuccessorLeavingHandsUsItsSuccessorAndStopsTheNotice) {
    const ChainChange change = OnChainChange(kOther, kOther, 0x4004);
    EXPECT_EQ(change.NextViewer, 0x4004u);
    EXPECT_FALSE(change.Forward);

    const ChainChange last = OnChainChange(kOther, kOther, 0);
    EXPECT_EQ(last.NextViewer, 0u);
    EXPECT_FALSE(last.Forward);
}

TEST(ClipRules, AnotherViewerLeavingIsPassedDownTheChainUnchanged) {
    const ChainChange change = OnChainChange(kOther, 0x5005, 0x6006);
    EXPECT_EQ(change.NextViewer, kOther);
    EXPECT_TRUE(change.Forward);

    // Nobody after us: nothing to pass on, nothing to change.
    const ChainChange alone = OnChainChange(0, 0x5005, 0x6006);
    EXPECT_EQ(alone.NextViewer, 0u);
    EXPECT_FALSE(alone.Forward);
}

TEST(SecretClip, MarkersDecideWhetherACopyIsSecret) {
    struct Case {
        const char* name;
        ClipMarkers markers;
        bool secret;
    };
    const std::string zero("\0\0\0\0", 4), one("\1\0\0\0", 4), high("\0\0\0\x80", 4);
    const std::string longZero("\0\0\0\0\7", 5);
    const Case cases[] = {
        {"no marker", {}, false},
        {"exclude from monitors", {true, false, std::nullopt}, true},
        {"viewer ignore", {false, true, std::nullopt}, true},
        {"history 0", {false, false, zero}, true},
        {"history 1", {false, false, one}, false},
        {"history with the high byte set", {false, false, high}, false},
        {"history 0 with bytes after the DWORD", {false, false, longZero}, true},
        {"history too short to hold a DWORD", {false, false, "\1\0"sv}, true},
        {"history present but unreadable", {false, false, ""sv}, true},
        {"history 1 does not lift an exclusion", {true, false, one}, true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSecretClip(c.markers), c.secret) << c.name;
}

}  // namespace
}  // namespace quillet::clip
