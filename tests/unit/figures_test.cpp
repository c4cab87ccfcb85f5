// The figures of the report's fourth line, and the line itself.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "counting/count.h"
#include "counting/figures.h"
#include "counting/graphemes.h"
#include "counting/report.h"

namespace {

using quillet::ComputeFigures;
using quillet::CountCharacters;
using quillet::ManuscriptSize;
using quillet::UnicodeFigures;
using quillet::Utf8Length;
using quillet::XWeightedLength;

std::u16string Times(int n, std::u16string_view piece) {
    std::u16string s;
    for (int i = 0; i < n; ++i) s += piece;
    return s;
}

const std::u16string kFamily = u"👨‍👩‍👧‍👦";  // four people joined by three ZWJ
const std::u16string kLone = std::u16string(1, char16_t(0xD800));

TEST(Figures, ManuscriptRowsAndSheets) {
    const std::u16string a20 = Times(20, u"あ");
    struct Case {
        std::u16string text;
        int64_t rows, sheets;
    } cases[] = {
        {a20, 1, 1},
        {a20 + u"い", 2, 1},
        {a20 + u"。", 1, 1},
        {a20 + u"。」』）", 1, 1},  // a whole run of closers hangs
        {a20 + u"、い", 2, 1},
        {a20 + u"｡", 1, 1},   // half-width too
        {a20 + u"ー", 2, 1},  // not a closer
        {Times(19, u"あ") + u"。。", 1, 1},
        {u"。", 1, 1},  // a closer opening a paragraph takes its cell
        {u"あ\r\n\r\nい", 3, 1},
        {u"あ\r\rい\nう", 4, 1},  // lone CR and lone LF end paragraphs too
        {u"あ\r\n", 1, 1},        // no row for the final break
        {u"\r\n", 1, 1},          // one empty paragraph
        {u"", 0, 0},
        {Times(401, u"あ"), 21, 2},
        {Times(400, u"あ"), 20, 1},
        {Times(19, u"あ") + u" \tい", 2, 1},  // spaces and tabs take cells
        {Times(20, u"か\u3099") + u"ｶﾞ", 2, 1},
        {Times(20, kFamily), 1, 1},
        {a20 + u"」。" + a20 + u"。" + a20, 3, 1},  // in the long runs of the fast path
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        const auto m = ManuscriptSize(c.text);
        EXPECT_EQ(m.Rows, c.rows);
        EXPECT_EQ(m.Sheets, c.sheets);
    }
}

// The manuscript at face value, one character at a time; a code point starts a character when
// it raises the count of the text up to it.
int64_t ModelRows(std::u16string_view text) {
    const std::u16string_view closers = u"、。，．」』）】〕〉》］｝”’､｡｣";
    int64_t rows = 0, column = 0, counted = 0;
    bool pending = true;
    for (std::size_t i = 0, units = 0; i < text.size(); i += units) {
        quillet::unicode::CodePointAt(text, i, units);
        const int64_t now = CountCharacters(text.substr(0, i + units));
        if (now == counted) continue;  // joins the character before
        counted = now;
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            rows += pending;
            pending = true;
        } else if (pending) {
            ++rows, column = 1, pending = false;
        } else if (column < 20) {
            ++column;
        } else if (closers.find(c) == std::u16string_view::npos) {
            ++rows, column = 1;
        }
    }
    return rows;
}

TEST(Figures, ManuscriptMatchesTheModelOnGeneratedTexts) {
    // Long plain runs, closers at every column, and the characters that leave the fast path.
    const std::u16string pieces[] = {Times(7, u"漢"), u"。",       u"」", u"、",       u"\r\n",
                                     u"\n",           u"\r",       u"ｶﾞ", u"👍🏽", u"a",
                                     u"\t",           u"か\u3099", u"ab:"};
    std::mt19937 rng(15);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1), length(0, 60);
    for (int n = 0; n < 300; ++n) {
        std::u16string text;
        for (std::size_t k = length(rng); k > 0; --k) text += pieces[pick(rng)];
        ASSERT_EQ(ManuscriptSize(text).Rows, ModelRows(text)) << n;
    }
}

TEST(Figures, Utf8Bytes) {
    // A long text puts a surrogate pair across the counting blocks' edges.
    const std::u16string longText = std::u16string(0xFFFF / 3 - 1, u'a') + u"𠮷";
    const std::pair<std::u16string, int64_t> cases[] = {
        {u"", 0},
        {u"a\r\n", 3},
        {u"é", 2},
        {u"あｱ", 6},
        {u"𠮷", 4},
        {u"👍🏽", 8},
        {kLone, 3},
        {std::u16string{char16_t(0xDC00), char16_t(0xD800)}, 6},  // reversed: two lone halves
        {u"a" + kLone + u"b", 5},
        {longText, static_cast<int64_t>(longText.size()) + 2},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(Utf8Length(text), bytes);
        EXPECT_EQ(ComputeFigures(text, u"11").Utf8Bytes, bytes);  // taken in the manuscript's scan
    }
}

TEST(Figures, XWeightedLength) {
    const std::pair<std::u16string, int64_t> cases[] = {
        {u"", 0},
        {u"abc", 3},
        {u"あ漢ｱ", 6},
        {u"é—′", 3},  // U+00E9, U+2014, U+2032
        {u"…", 2},    // U+2026 is outside the light ranges
        {u"𠮷", 2},
        {u"👍", 2},
        {u"👍🏽", 2},
        {kFamily, 2},
        {u"🇯🇵", 2},
        {u"🇯🇵🇺", 4},
        {u"1️⃣", 2},
        {u"©", 1},  // X's emoji pattern takes © and ® only with U+FE0F
        {u"©\uFE0F", 2},
        {u"か\u3099", 2},  // NFC makes it が
        {u"ｶﾞ", 4},        // no canonical composition for half-width
        {u"e\u0301", 1},
        {kLone, 2},
        {Times(140, u"あ"), 280},
        {Times(100, u"漢") + std::u16string(80, u'x'), 280},
        {u"https://example.com", 23},
        {u"see http://a.jp/b?c=d#e done", 32},
        {u"HTTPS://A.JP/", 23},
        {u"http://a.jp:8080/x http://b.jp", 47},
        {u"https://example.com/を見て", 29},
        {u"xhttp://a.jp", 12},  // not after a letter or digit
        {u"http://", 7},        // nothing after the scheme
        {u"english text 日本語 😷 https://example.com", 46},
    };
    for (const auto& [text, weight] : cases) EXPECT_EQ(XWeightedLength(text), weight);
}

TEST(Figures, NfcOnlyWhereTheTablesSayItMayChange) {
    const struct {
        std::u16string text;
        bool changed;
        std::u16string nfc;
    } cases[] = {
        {u"あいう漢字ｶﾞ👍🏽𠮷", false, u""},
        {u"か\u3099きく\u3099", true, u"がきぐ"},
        {u"xa\u0307\u0323y", true, u"x\u1EA1\u0307y"},  // reordered, then composed
        {u"\u212B", true, u"\u00C5"},
        {kLone + u"\u0301", true, kLone + u"\u0301"},  // the platform's part is valid text
    };
    for (const auto& c : cases) {
        std::u16string out = u"untouched";
        EXPECT_EQ(quillet::unicode::NfcWhereNeeded(c.text, out), c.changed);
        EXPECT_EQ(out, c.changed ? c.nfc : u"untouched");
    }
}

TEST(Figures, TheFlagsChooseWhatIsComputed) {
    const std::u16string text = u"あい";
    const std::pair<std::u16string_view, int> cases[] = {
        {u"000", 0}, {u"", 0}, {u"100", 1}, {u"010", 2}, {u"001", 4}, {u"x11", 6}, {u"11111", 7},
    };
    for (const auto& [flags, present] : cases) {
        const UnicodeFigures f = ComputeFigures(text, flags);
        EXPECT_EQ(f.ManuscriptPages.has_value(), (present & 1) != 0) << flags.size();
        EXPECT_EQ(f.Utf8Bytes.has_value(), (present & 2) != 0);
        EXPECT_EQ(f.XWeighted.has_value(), (present & 4) != 0);
    }
}

TEST(BuildReport, TheFourthLine) {
    // The text of the three-line report tests: 字数 17.
    quillet::CountResult r;
    r.SearchStr = u"l";
    quillet::CountText(u"Hello, 世界！\r\nｱｲ　x\ty", r, 0);
    const UnicodeFigures all{quillet::Manuscript{2, 1}, 30, 24};
    const UnicodeFigures utf8{std::nullopt, 30, std::nullopt};
    const UnicodeFigures none{};
    const std::u16string_view full =
        u"字数:17(13) 改行:1 22byte\r\n全角:4(3) 半角:11(10)\r\n全SP:1 半SP:1 タブ:1 l:2";
    struct Case {
        const char16_t* items;
        const UnicodeFigures* figures;
        int32_t limit;
        std::u16string report;
        int32_t width;
        bool over;
    } cases[] = {
        {u"1111111", &none, 0, std::u16string(full), 25, false},
        {u"1111111", &all, 17,
         std::u16string(full) + u"\r\n原稿:2行(1枚) UTF8:30byte X:24/280 残り:0", 41, false},
        {u"1111111", &none, 16, std::u16string(full) + u"\r\n超過:1", 25, true},
        {u"1111111", &none, -3, std::u16string(full), 25, false},  // no limit either
        {u"0000000", &utf8, 18, u"l:2\r\nUTF8:30byte 残り:1", 18, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        const auto report =
            quillet::BuildReport(r, quillet::Derive(r), c.items, *c.figures, c.limit);
        EXPECT_EQ(report.Text, c.report);
        EXPECT_EQ(report.ReportWidth, c.width);
        EXPECT_EQ(report.HasFigureLine, c.figures != &none || c.limit > 0);
        EXPECT_EQ(report.OverLimit, c.over);
    }
    // Without a search string: after a report that ends with its CR LF, and alone.
    r.SearchStr.clear();
    EXPECT_EQ(quillet::BuildReport(r, quillet::Derive(r), u"1111100", utf8, 0).Text,
              u"字数:17(13) 改行:1 22byte\r\n全角:4(3) 半角:11(10)\r\nUTF8:30byte");
    EXPECT_EQ(quillet::BuildReport(r, quillet::Derive(r), u"0000000", all, 0).Text,
              u"原稿:2行(1枚) UTF8:30byte X:24/280");
}

}  // namespace
