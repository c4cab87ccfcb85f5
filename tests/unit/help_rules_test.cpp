// The help note's text, placement and layout rule.
#include <gtest/gtest.h>

#include <vector>

#include "dialogs/help_rules.h"
#include "text/text.h"

namespace quillet::dialogs {
namespace {

std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

TEST(HelpText, ElevenLinesWithTheColonsInOneColumn) {
    const std::u16string text = HelpText(u"");
    const auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], u"字数　:総文字数");
    EXPECT_EQ(lines[1], u"改行　:改行コード=CrLf");
    EXPECT_EQ(lines[2], u"byte　:Shift-JISコードでのバイト数");
    EXPECT_EQ(lines[5], u"全SP　:全角スペース");
    EXPECT_EQ(lines[7], u"タブ　:Tab");
    EXPECT_EQ(lines[8], u"xxxx　:指定文字列の個数");
    EXPECT_EQ(lines[9], u"");
    EXPECT_EQ(lines[10], u"(nn)は改行/スペース/タブを除いた文字数");
    for (size_t i = 0; i < 9; ++i) {
        const size_t colon = lines[i].find(u':');
        ASSERT_NE(colon, std::u16string::npos);
        EXPECT_EQ(text::SjisByteLen(std::u16string_view(lines[i]).substr(0, colon)), 6) << i;
    }
}

TEST(HelpText, SearchLineShowsTheSearchString) {
    struct Case {
        std::u16string_view search;
        std::u16string_view line;
    };
    for (const Case& c : {
             Case{u"l", u"l   　:指定文字列の個数"},
             Case{u"世界", u"世界　:指定文字列の個数"},
             Case{u"猫", u"猫  　:指定文字列の個数"},
             Case{u"abcd", u"abcd　:指定文字列の個数"},
             Case{u"abcdef", u"abcdef　:指定文字列の個数"},  // wider: shown whole
             Case{u" x ", u" x  　:指定文字列の個数"},
         }) {
        EXPECT_EQ(Lines(HelpText(c.search))[8], c.line);
    }
}

TEST(HelpText, AFigureOrTheLimitAddsItsLineAfterTheSearchLineOnlyWhenOn) {
    struct Case {
        std::u16string_view customItemEx;
        int32_t charLimit;
        std::vector<std::u16string_view> labels;  // of the lines between search and blank
    };
    for (const Case& c : {
             Case{u"000", 0, {}},
             Case{u"011", 0, {u"UTF8　", u"X   　"}},
             Case{u"111", 1, {u"原稿　", u"UTF8　", u"X   　", u"残り　"}},
             Case{u"1x1", -1, {u"原稿　", u"X   　"}},
         }) {
        const auto lines = Lines(HelpText(u"l", c.customItemEx, c.charLimit));
        ASSERT_EQ(lines.size(), 11 + c.labels.size());
        EXPECT_EQ(lines[8], u"l   　:指定文字列の個数");
        for (size_t i = 0; i < c.labels.size(); ++i) {
            // Each label fills the six columns, as those of the lines above.
            EXPECT_EQ(lines[9 + i].substr(0, lines[9 + i].find(u':')), c.labels[i]);
            EXPECT_EQ(text::SjisByteLen(c.labels[i]), 6);
        }
        EXPECT_EQ(lines[9 + c.labels.size()], u"");
    }
}

TEST(HelpPlacement, BottomRightAtThePointerUnlessItWouldCrossTheWorkAreasLeftOrTop) {
    struct Case {
        const char* name;
        HelpPoint pointer;
        display::ScreenRect work;
        HelpPoint topLeft;
    };
    const display::ScreenRect screen{0, 0, 1024, 768};
    const display::ScreenRect right{1024, 0, 2304, 984};  // a second monitor, right of it
    for (const Case& c : {
             Case{"above left", {600, 500}, screen, {285, 350}},
             Case{"right of it near the left edge", {100, 500}, screen, {100, 350}},
             Case{"below it near the top", {600, 100}, screen, {285, 100}},
             Case{"equal to the size: strictly less-than", {315, 150}, screen, {315, 150}},
             Case{"one more", {316, 151}, screen, {1, 1}},
             Case{"at the corner", {0, 0}, screen, {0, 0}},
             // The edges are the monitor's: near the second monitor's left edge it opens right.
             Case{"second monitor, near its left edge", {1100, 500}, right, {1100, 350}},
             Case{"second monitor, room to the left", {1400, 500}, right, {1085, 350}},
             Case{"a task bar along the top", {600, 180}, {0, 40, 1024, 768}, {285, 180}},
             // What would cross the work area's right edge is moved inside.
             Case{"crossing the right edge", {600, 100}, {500, 0, 900, 740}, {585, 100}},
         }) {
        EXPECT_EQ(HelpPlacement(c.pointer, kHelpClientWidth, kHelpClientHeight, c.work), c.topLeft)
            << c.name;
    }
}

TEST(HelpLayout, LabelFillsTheNoteAndTheButtonSitsInItsCornerAtEveryDpi) {
    EXPECT_EQ(LayoutHelp(315, 150, 96), (HelpLayout{4, 4, 309, 144, 287, 126}));
    EXPECT_EQ(LayoutHelp(400, 200, 96), (HelpLayout{4, 4, 394, 194, 372, 176}));
    // 144 dpi: margins 6 and 3, the button 35 x 29 (34.5 and 28.5 rounded up), inset 5 (4.5).
    EXPECT_EQ(HelpClientWidth(144), 473);  // 472.5
    EXPECT_EQ(LayoutHelp(473, 225, 144), (HelpLayout{6, 6, 464, 216, 430, 188}));
    EXPECT_EQ(LayoutHelp(630, 300, 192), (HelpLayout{8, 8, 618, 288, 574, 252}));
}

TEST(HelpLayout, NoteGrowsOnlyForAFontTallerThanDesigned) {
    struct Case {
        int32_t textHeight, dpi, clientHeight;
    };
    // Eleven lines of 13 pixels fit the design; 14-pixel lines need 160. At 144 dpi the design
    // is 225 high and the margins 6 and 3.
    for (const Case c :
         {Case{0, 96, 150}, Case{143, 96, 150}, Case{144, 96, 150}, Case{145, 96, 151},
          Case{154, 96, 160}, Case{216, 144, 225}, Case{217, 144, 226}}) {
        EXPECT_EQ(HelpClientHeight(c.textHeight, c.dpi), c.clientHeight) << c.textHeight;
    }
}

}  // namespace
}  // namespace quillet::dialogs
