// The program's texts and what one copy produces, without a window system.
#include <gtest/gtest.h>

#include "app/app_text.h"
#include "shell/count_event.h"

namespace quillet::shell {
namespace {

using namespace app;

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

TEST(AppText, TheTipBeginsWithOverWhenOverTheLimit) {
    EXPECT_EQ(TrayTipText(u"Q", u"字数:3(3) "), u"- Q -\r\n字数:3(3) ");
    EXPECT_EQ(TrayTipText(u"Q", u"字数:3(3) ", true), u"超過 - Q -\r\n字数:3(3) ");
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
    EXPECT_EQ(ComposeReport(u"abc", u"abc", settings).Text, u"");

    settings.SearchString = u"a";
    settings.SearchFuzzy = 0;
    EXPECT_EQ(ComposeReport(u"aAａ", u"aAａ", settings).Text, u"a:1");
    settings.SearchFuzzy = 1;
    EXPECT_EQ(ComposeReport(u"aAａ", u"aAａ", settings).Text, u"a:3");

    settings.SearchString.clear();
    settings.CustomItem = u"1000000";
    EXPECT_EQ(ComposeReport(u"猫\r\n", u"猫\r\n", settings).Text, u"字数:2(1) \r\n");
}

// The figures come from the Unicode text, the limit from 字数 of CF_TEXT; only a figure, not the
// limit, needs the Unicode text read at all.
TEST(CountEvent, TheFourthLineTakesTheFiguresFromTheUnicodeText) {
    Settings settings;
    settings.CustomItem = u"1000000";
    settings.CharLimit = 1;
    EXPECT_FALSE(WantsUnicodeText(settings));
    EXPECT_EQ(ComposeReport(u"ab??", u"", settings).Text, u"字数:4(4) \r\n超過:3");
    settings.CustomItemEx = u"011";
    settings.CharLimit = 4;
    EXPECT_TRUE(WantsUnicodeText(settings));
    EXPECT_EQ(ComposeReport(u"ab??", u"ab\U0001F44D", settings).Text,
              u"字数:4(4) \r\nUTF8:6byte X:4/280 残り:0");
    settings.CustomItemEx = u"0x2";
    EXPECT_FALSE(WantsUnicodeText(settings));
}

}  // namespace
}  // namespace quillet::shell
