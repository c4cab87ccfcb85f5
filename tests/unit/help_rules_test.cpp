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

TEST(HelpPlacement, BottomRightAtThePointerUnlessItWouldCrossTheLeftOrTop) {
    struct Case {
        HelpPoint pointer;
        HelpPoint topLeft;
    };
    for (const Case& c : {
             Case{{600, 500}, {285, 350}},
             Case{{100, 500}, {100, 350}},
             Case{{600, 100}, {285, 100}},
             Case{{315, 150}, {315, 150}},  // equal to the size: strictly less-than
             Case{{316, 151}, {1, 1}},
             Case{{0, 0}, {0, 0}},
         }) {
        EXPECT_EQ(HelpPlacement(c.pointer, kHelpClientWidth, kHelpClientHeight), c.topLeft)
            << c.pointer.x << "," << c.pointer.y;
    }
}

TEST(HelpLayout, LabelFillsTheNoteAndTheButtonSitsInItsCorner) {
    EXPECT_EQ(LayoutHelp(315, 150), (HelpLayout{4, 4, 309, 144, 287, 126}));
    EXPECT_EQ(LayoutHelp(400, 200), (HelpLayout{4, 4, 394, 194, 372, 176}));
}

TEST(HelpLayout, NoteGrowsOnlyForAFontTallerThanDesigned) {
    struct Case {
        int32_t textHeight, clientHeight;
    };
    // Eleven lines of 13 pixels fit the design; 14-pixel lines need 160.
    for (const Case c :
         {Case{0, 150}, Case{143, 150}, Case{144, 150}, Case{145, 151}, Case{154, 160}}) {
        EXPECT_EQ(HelpClientHeight(c.textHeight), c.clientHeight) << c.textHeight;
    }
}

}  // namespace
}  // namespace quillet::dialogs
