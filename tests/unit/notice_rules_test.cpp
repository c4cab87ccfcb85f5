#include <gtest/gtest.h>

#include <string>

#include "dialogs/notice_rules.h"

namespace quillet::dialogs {
namespace {

TEST(NoticeRules, HeightFollowsTheNumberOfLineBreaks) {
    struct Case {
        std::u16string message;
        int32_t twips;
    } cases[] = {
        {u"終了します！", 790},
        {u"", 790},
        {u"Quillet！ Ver0.50\r\n\r\nタスクトレイに収納します！", 1790},
        {u"a\r\nb", 1290},
        // Only the pair breaks a line; lone CRs and LFs do not.
        {u"a\rb\nc\n\rd", 790},
        {u"\r\r\n\n", 1290},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NoticeHeightTwips(c.message), c.twips) << c.message.size();
    }
}

TEST(NoticeRules, ComposedMessageSplitsBackIntoMessageAndTime) {
    const std::u16string composed = ComposeNoticeMessage(u"終了します！", 1000);
    EXPECT_EQ(composed, u"終了します！\u00011000");
    const NoticeParts parts = SplitNoticeMessage(composed);
    EXPECT_EQ(parts.message, u"終了します！");
    EXPECT_EQ(NoticeDisplayMs(parts.time), 1000);
    EXPECT_EQ(ComposeNoticeMessage(u"", -5), u"\u0001-5");
}

TEST(NoticeRules, SplitKeepsTwoPartsWhateverTheSeparatorCount) {
    struct Case {
        std::u16string composed;
        std::u16string message;
        std::u16string time;
    } cases[] = {
        {u"no separator", u"no separator", u""},     {u"", u"", u""},
        {u"one\u00011500", u"one", u"1500"},         {u"\u0001", u"", u""},
        {u"a\u0001500\u0001b\u0001c", u"a", u"500"}, {u"\u0001\u0001\u0001", u"", u""},
    };
    for (const auto& c : cases) {
        const NoticeParts parts = SplitNoticeMessage(c.composed);
        EXPECT_EQ(parts.message, c.message);
        EXPECT_EQ(parts.time, c.time);
    }
}

TEST(NoticeRules, DisplayTimeIsTheRoundedLeadingNumber) {
    struct Case {
        std::u16string text;
        int32_t ms;
    } cases[] = {
        {u"1500", 1500},   {u" 500", 500},      {u"", 0},      {u"abc", 0}, {u"12abc", 12},
        {u"1000.5", 1000}, {u"1001.5", 1002},   {u"-20", -20}, {u"+7", 7},  {u".5", 0},
        {u"1.5e3", 1500},  {u"99999999999", 0}, {u"0x10", 0},  {u"inf", 0}, {u"nan", 0},
        {u"１５００", 0},  {u"15\u30000", 15},  {u"-", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NoticeDisplayMs(c.text), c.ms) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(NoticeRules, ShrinkKeepsTheBottomRightCornerInEveryStep) {
    const NoticeRect start{356, 305, 312, 119};
    NoticeSize previous{start.width, start.height};
    for (int32_t step = kShrinkSteps; step >= 1; --step) {
        const NoticeSize size = ShrinkSize(start, step);
        EXPECT_LE(size.width, previous.width) << step;
        EXPECT_LT(size.height, previous.height + 1) << step;
        // Whatever size the system gives the window, the corner stays.
        for (NoticeSize actual : {size, NoticeSize{size.width + 3, size.height - 1}}) {
            const NoticeRect placed = ShrinkPlace(start, actual);
            EXPECT_EQ(placed.left + placed.width, start.left + start.width) << step;
            EXPECT_EQ(placed.top + placed.height, start.top + start.height) << step;
        }
        previous = size;
    }
    EXPECT_EQ(ShrinkSize(start, 19).width, 296);  // 312 × 19 / 20 = 296.4
    EXPECT_EQ(ShrinkSize(start, 10).height, 60);  // 119 / 2 = 59.5, rounded up
    EXPECT_EQ(ShrinkSize(start, 1).width, 16);    // 15.6
    EXPECT_EQ(ShrinkSize(start, 1).height, 6);    // 5.95
    // A tiny window never reaches zero size.
    EXPECT_EQ(ShrinkSize(NoticeRect{0, 0, 5, 5}, 1).width, 1);
}

TEST(NoticeRules, CentredInTheWorkArea) {
    EXPECT_EQ(CentreIn(0, 0, 1024, 768, 312, 119), (NoticeRect{356, 324, 312, 119}));
    // A task bar at the top moves the work area, and the centre with it.
    EXPECT_EQ(CentreIn(0, 40, 1024, 768, 312, 53), (NoticeRect{356, 377, 312, 53}));
    // A monitor left of the primary one has negative coordinates.
    EXPECT_EQ(CentreIn(-1920, 0, 0, 1080, 312, 119), (NoticeRect{-1116, 480, 312, 119}));
}

}  // namespace
}  // namespace quillet::dialogs
