// The main window's and clipboard watch's decisions, without a window system.
#include <gtest/gtest.h>

#include "shell/app_text.h"
#include "shell/clip_rules.h"
#include "shell/count_event.h"

namespace quillet::shell {
namespace {

constexpr WindowId kMain = 0x1001;
constexpr WindowId kPopup = 0x2002;
constexpr WindowId kOther = 0x3003;

TEST(ClipRules, CopiesInsideTheProgramsOwnWindowsAreSkipped) {
    EXPECT_FALSE(ShouldExamineChange(kMain, kMain, 0));
    EXPECT_FALSE(ShouldExamineChange(kPopup, kMain, kPopup));
    EXPECT_TRUE(ShouldExamineChange(kOther, kMain, kPopup));
    EXPECT_TRUE(ShouldExamineChange(kOther, kMain, 0));
}

TEST(ClipRules, NoForegroundWindowIsSkippedOnlyWhileThereIsNoPopup) {
    // A plain comparison of handles: 0 equals the absent popup's 0.
    EXPECT_FALSE(ShouldExamineChange(0, kMain, 0));
    EXPECT_TRUE(ShouldExamineChange(0, kMain, kPopup));
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

TEST(AppText, VersionRunsMinorAndRevisionTogether) {
    EXPECT_EQ(FormatAppVersion(0, 5, 0), u"Ver0.50");
    EXPECT_EQ(FormatAppVersion(1, 2, 3), u"Ver1.23");
    EXPECT_EQ(FormatAppVersion(10, 0, 12), u"Ver10.012");
    EXPECT_EQ(FormatAppTitle(u"Ver0.50"), u"Quillet！ Ver0.50");
}

TEST(AppText, MessagesNameTheExecutableAsItIsCalledNow) {
    EXPECT_EQ(AlreadyRunningMessage(u"Quillet"), u"Quillet！(Quillet) は既に起動中です！");
    EXPECT_EQ(AlreadyRunningMessage(u"数える"), u"Quillet！(数える) は既に起動中です！");
    EXPECT_EQ(VersionItemCaption(u"Quillet", u"Ver0.50", u"Quillet Works"),
              u"Quillet Ver0.50  Quillet Works");
    EXPECT_EQ(VersionItemCaption(u"q", u"Ver0.50", u""), u"q Ver0.50  ");
}

TEST(AppText, TwipsPerPixelRoundsAndSurvivesAnUnknownResolution) {
    EXPECT_EQ(TwipsPerPixel(96), 15);
    EXPECT_EQ(TwipsPerPixel(120), 12);
    EXPECT_EQ(TwipsPerPixel(144), 10);
    EXPECT_EQ(TwipsPerPixel(100), 14);  // 14.4
    EXPECT_EQ(TwipsPerPixel(192), 8);   // 7.5 rounds up
    EXPECT_EQ(TwipsPerPixel(0), 15);
    EXPECT_EQ(TwipsPerPixel(-5), 15);
    EXPECT_EQ(TwipsPerPixel(5000), 1);
}

TEST(AppText, TwipsToPixelsRoundsToTheNearestPixelOnBothSidesOfZero) {
    EXPECT_EQ(TwipsToPixels(5820, 15), 388);
    EXPECT_EQ(TwipsToPixels(7, 15), 0);
    EXPECT_EQ(TwipsToPixels(8, 15), 1);
    EXPECT_EQ(TwipsToPixels(-1500, 15), -100);
    EXPECT_EQ(TwipsToPixels(-8, 15), -1);
    // A pixel count the window system cannot take is clamped, not wrapped.
    EXPECT_EQ(TwipsToPixels(1e30, 15), 1000000000);
    EXPECT_EQ(TwipsToPixels(-1e30, 15), -1000000000);
    EXPECT_EQ(TwipsToPixels(3000, 0), 200);
}

TEST(CountEvent, NothingIsDeliveredWithoutText) {
    EXPECT_EQ(DeliveryFor(false, u"abc", 0), Delivery::None);
    EXPECT_EQ(DeliveryFor(true, u"", 0), Delivery::None);
    EXPECT_EQ(DeliveryFor(true, u"", 1), Delivery::None);
}

TEST(CountEvent, OnlyTheExactTrayValueSelectsThePopup) {
    EXPECT_EQ(DeliveryFor(true, u"a", 1), Delivery::Popup);
    EXPECT_EQ(DeliveryFor(true, u"a", 0), Delivery::Window);
    EXPECT_EQ(DeliveryFor(true, u"a", 2), Delivery::Window);
    EXPECT_EQ(DeliveryFor(true, u"a", -1), Delivery::Window);
}

TEST(CountEvent, TheReportFollowsTheSearchAndItemSettings) {
    Settings settings;
    settings.CustomItem = u"0000000";
    EXPECT_EQ(ComposeReport(u"abc", settings).Text, u"");

    settings.SearchString = u"a";
    settings.SearchFuzzy = 0;
    EXPECT_EQ(ComposeReport(u"aAａ", settings).Text, u"a:1");
    settings.SearchFuzzy = 1;
    EXPECT_EQ(ComposeReport(u"aAａ", settings).Text, u"a:3");

    settings.SearchString.clear();
    settings.CustomItem = u"1000000";
    EXPECT_EQ(ComposeReport(u"猫\r\n", settings).Text, u"字数:2(1) \r\n");
}

}  // namespace
}  // namespace quillet::shell
