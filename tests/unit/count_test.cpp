// Text statistics, the search count and the report.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

#include "counting/count.h"
#include "counting/report.h"
#include "text/text.h"

namespace {

using quillet::BuildReport;
using quillet::CountOccurrences;
using quillet::CountResult;
using quillet::CountText;
using quillet::Derive;

const std::u16string kExample = u"Hello, 世界！\r\nｱｲ　x\ty";

// The sliding comparison at face value: a window of the pattern's length moves right by one,
// or past the whole match when it matches.
int64_t SlidingCount(std::u16string_view text, std::u16string_view pat, bool fuzzy) {
    if (text.empty() || pat.empty()) return 0;
    int64_t count = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto cand = text.substr(i, pat.size());
        const bool eq = fuzzy ? quillet::text::LooseEqual(cand, pat) : cand == pat;
        if (eq) {
            ++count;
            i += pat.size();
        } else {
            ++i;
        }
    }
    return count;
}

CountResult Count(std::u16string_view text, std::u16string search = u"", int32_t fuzzy = 0) {
    CountResult r;
    r.SearchStr = std::move(search);
    CountText(text, r, fuzzy);
    return r;
}

struct Expected {
    const char16_t* text;
    int64_t chars, lineBreaks, bytes, fullWidth, fullSpaces, halfSpaces, tabs;
    int64_t halfWidth, charsNet, fullWidthNet, halfWidthNet;
};

TEST(CountText, WorkedExamplesAndEdges) {
    // clang-format off
    const Expected cases[] = {
        // text                        Ch LB By FW FS HS Tb HW CN FN HN
        {u"Hello, 世界！\r\nｱｲ　x\ty", 17, 1, 22, 4, 1, 1, 1, 11, 13, 3, 10},
        {u"abc",                        3, 0, 3, 0, 0, 0, 0, 3, 3, 0, 3},
        {u"あ\r\n",                     2, 1, 4, 1, 0, 0, 0, 0, 1, 1, 0},
        {u"\r\n",                       1, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0},
        {u"a\nb",                       3, 0, 3, 0, 0, 0, 0, 3, 3, 0, 3},
        {u"\r\r\n",                     2, 1, 3, 0, 0, 0, 0, 1, 1, 0, 1},
        {u"\n\r",                       2, 0, 2, 0, 0, 0, 0, 2, 2, 0, 2},
        {u"　",                         1, 0, 2, 1, 1, 0, 0, 0, 0, 0, 0},
        {u"ｱ",                          1, 0, 1, 0, 0, 0, 0, 1, 1, 0, 1},
        {u"ア",                         1, 0, 2, 1, 0, 0, 0, 0, 1, 1, 0},
        {u"",                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {u"\r\n\r\n\t \t",              5, 2, 7, 0, 0, 1, 2, 1, 0, 0, 0},
    };
    // clang-format on
    for (const auto& e : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&e - cases));
        const CountResult r = Count(e.text);
        const auto d = Derive(r);
        EXPECT_EQ(r.Chars, e.chars);
        EXPECT_EQ(r.LineBreaks, e.lineBreaks);
        EXPECT_EQ(r.Bytes, e.bytes);
        EXPECT_EQ(r.FullWidth, e.fullWidth);
        EXPECT_EQ(r.FullSpaces, e.fullSpaces);
        EXPECT_EQ(r.HalfSpaces, e.halfSpaces);
        EXPECT_EQ(r.Tabs, e.tabs);
        EXPECT_EQ(d.HalfWidth, e.halfWidth);
        EXPECT_EQ(d.CharsNet, e.charsNet);
        EXPECT_EQ(d.FullWidthNet, e.fullWidthNet);
        EXPECT_EQ(d.HalfWidthNet, e.halfWidthNet);
        EXPECT_EQ(r.SearchCount, 0);
    }
}

TEST(CountText, SearchUsesTheLooseSettingAtCallTime) {
    EXPECT_EQ(Count(kExample, u"l").SearchCount, 2);
    EXPECT_EQ(Count(u"ABC abc ａｂｃ", u"abc", 0).SearchCount, 1);
    EXPECT_EQ(Count(u"ABC abc ａｂｃ", u"abc", 1).SearchCount, 3);
    EXPECT_EQ(Count(u"ABC abc ａｂｃ", u"abc", 7).SearchCount, 3);  // any non-zero is loose
}

TEST(CountText, UnencodableCharactersKeepTheIdentities) {
    const CountResult r = Count(u"é😀한\r\n");
    EXPECT_EQ(r.Bytes, 6);  // four one-byte stand-ins and CR LF
    EXPECT_EQ(r.FullWidth, 0);
    EXPECT_EQ(Derive(r).HalfWidth, 4);
}

// Texts drawn from the characters the counts care about, in every combination.
std::u16string RandomText(std::mt19937& rng, std::size_t maxLen) {
    static const std::u16string alphabet = u"aZ9 ,\t\r\n\r\n　あカ漢字ｱﾞ①Ａ－\\~é";
    std::uniform_int_distribution<std::size_t> len(0, maxLen), pick(0, alphabet.size() - 1);
    std::u16string s(len(rng), u' ');
    for (auto& c : s) c = alphabet[pick(rng)];
    return s;
}

TEST(CountText, IdentitiesHoldOnGeneratedTexts) {
    std::mt19937 rng(20261207);
    for (int i = 0; i < 3000; ++i) {
        const std::u16string text = RandomText(rng, 40);
        const CountResult r = Count(text);
        const auto d = Derive(r);
        ASSERT_EQ(r.Chars, r.FullWidth + d.HalfWidth + r.LineBreaks + r.Tabs);
        ASSERT_EQ(r.Bytes, 2 * r.FullWidth + d.HalfWidth + 2 * r.LineBreaks + r.Tabs);
        ASSERT_EQ(d.CharsNet, d.FullWidthNet + d.HalfWidthNet);
        ASSERT_EQ(r.FullWidth, r.Bytes - static_cast<int64_t>(text.size()));
        ASSERT_EQ(r.Bytes, quillet::text::SjisByteLen(text));
        ASSERT_EQ(r.LineBreaks, SlidingCount(text, u"\r\n", false));
        ASSERT_EQ(r.HalfSpaces, SlidingCount(text, u" ", false));
        ASSERT_EQ(r.FullSpaces, SlidingCount(text, u"　", false));
        ASSERT_EQ(r.Tabs, SlidingCount(text, u"\t", false));
        ASSERT_GE(d.HalfWidthNet, 0);
        ASSERT_GE(d.FullWidthNet, 0);
    }
}

TEST(CountOccurrences, Edges) {
    struct Case {
        const char16_t* text;
        const char16_t* pattern;
        int64_t exact, loose;
    } cases[] = {
        // clang-format off
        {u"", u"a", 0, 0},          {u"a", u"", 0, 0},           {u"ab", u"abc", 0, 0},
        {u"aaaaa", u"aa", 2, 2},    {u"aaaa", u"aa", 2, 2},      {u"\r\n\r\n", u"\r\n", 2, 2},
        {u"\n\r", u"\r\n", 0, 0},   {u"ABC abc ａｂｃ", u"abc", 1, 3},
        {u"カｶ", u"カ", 1, 2},      {u"a b ab", u"a b", 1, 1},   {u"xab", u"ab", 1, 1},
        {u"aabaabaab", u"aab", 3, 3},  {u"abababa", u"aba", 2, 2},
        {u"かカ", u"か", 1, 1},     {u"ｶﾞ", u"カ゛", 0, 1},
    };  // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(CountOccurrences(c.text, c.pattern, 0), c.exact);
        EXPECT_EQ(CountOccurrences(c.text, c.pattern, 1), c.loose);
    }
}

TEST(CountOccurrences, MatchesTheSlidingComparisonOnGeneratedInputs) {
    // Small alphabets with case and width twins make near-misses and overlaps common.
    std::mt19937 rng(7);
    const std::u16string alphabet = u"aAａbB ｶカか";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), tl(0, 60), pl(1, 5);
    for (int i = 0; i < 20000; ++i) {
        std::u16string text(tl(rng), u'a'), pat(pl(rng), u'a');
        for (auto& c : text) c = alphabet[pick(rng)];
        for (auto& c : pat) c = alphabet[pick(rng)];
        ASSERT_EQ(CountOccurrences(text, pat, 0), SlidingCount(text, pat, false));
        ASSERT_EQ(CountOccurrences(text, pat, 1), SlidingCount(text, pat, true));
    }
}

TEST(CountOccurrences, LongTextsTakeTheFilteredPathToTheSameResult) {
    // Long texts go through a vectorised filter on the first two units; its edges (a candidate
    // at the last eight units, a class of several members, a one-unit pattern) must not change
    // the result.
    std::mt19937 rng(11);
    const std::u16string alphabet = u"aAａＡbB ｶカかx";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), tl(4096, 4200),
        pl(1, 20);
    for (int i = 0; i < 300; ++i) {
        std::u16string text(tl(rng), u'a'), pat(pl(rng), u'a');
        for (auto& c : text) c = alphabet[pick(rng)];
        for (auto& c : pat) c = alphabet[pick(rng)];
        if (i % 3 == 0) text.replace(text.size() - pat.size(), pat.size(), pat);
        ASSERT_EQ(CountOccurrences(text, pat, 0), SlidingCount(text, pat, false));
        ASSERT_EQ(CountOccurrences(text, pat, 1), SlidingCount(text, pat, true));
    }
}

TEST(CountOccurrences, NearlyMatchingLongPatternStaysLinear) {
    // A naive window would make about 10^9 comparisons here; the count must still be exact.
    std::u16string pattern(1000, u'a');
    pattern.back() = u'b';
    std::u16string text(1'000'000, u'a');
    for (std::size_t i = 999; i < text.size(); i += 1500) text[i] = u'b';
    const int64_t want = SlidingCount(text.substr(0, 20000), pattern, false);
    EXPECT_EQ(CountOccurrences(text.substr(0, 20000), pattern, 0), want);
    EXPECT_EQ(CountOccurrences(text, pattern, 0), 667);
    EXPECT_EQ(CountOccurrences(text, pattern, 1), 667);
}

struct ReportCase {
    const char16_t* customItem;
    const char16_t* search;
    const char16_t* report;
    int32_t width;
};

TEST(BuildReport, FormatsTheEnabledItems) {
    const ReportCase cases[] = {
        {u"1111111", u"l",
         u"字数:17(13) 改行:1 22byte\r\n全角:4(3) 半角:11(10)\r\n全SP:1 半SP:1 タブ:1 l:2", 25},
        {u"1111111", u"",
         u"字数:17(13) 改行:1 22byte\r\n全角:4(3) 半角:11(10)\r\n全SP:1 半SP:1 タブ:1 ", 25},
        {u"1111100", u"", u"字数:17(13) 改行:1 22byte\r\n全角:4(3) 半角:11(10)\r\n", 25},
        {u"0000000", u"", u"", 0},
        {u"0000000", u"l", u"l:2", 3},
        {u"0010000", u"", u"22byte\r\n", 6},
        {u"11", u"", u"字数:17(13) 改行:1 \r\n", 19},
        {u"", u"", u"", 0},
        {u"0001100", u"", u"全角:4(3) 半角:11(10)\r\n", 21},
        {u"0000010", u"", u"全SP:1 半SP:1 ", 14},
        {u"0000001", u"世界", u"タブ:1 世界:1", 13},
        {u"x1y1z1a11111", u"", u"改行:1 \r\n全角:4(3) \r\n全SP:1 半SP:1 ", 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        CountResult r = Count(kExample, c.search);
        const auto report = BuildReport(r, Derive(r), c.customItem);
        EXPECT_EQ(report.Text, c.report);
        EXPECT_EQ(report.ReportWidth, c.width);
    }
}

TEST(BuildReport, JapaneseSearchStringCountsTwoBytesPerCharacter) {
    CountResult r = Count(u"世界", u"世界");
    EXPECT_EQ(BuildReport(r, Derive(r), u"0000000").ReportWidth, 6);  // 世界:1
}

TEST(BuildReport, CountsBeyond32BitsStayExactAndPositive) {
    // A 64-bit process can hold a text of more than 2^31 code units; the figures must not wrap.
    CountResult r;
    r.Chars = 3'000'000'000;
    r.Bytes = 6'000'000'000;
    r.FullWidth = 3'000'000'000;
    r.SearchStr = u"字";
    r.SearchCount = 3'000'000'000;
    const auto d = Derive(r);
    EXPECT_EQ(d.CharsNet, 3'000'000'000);
    EXPECT_EQ(d.HalfWidth, 0);
    const auto report = BuildReport(r, d, u"1111111");
    EXPECT_EQ(report.Text,
              u"字数:3000000000(3000000000) 改行:0 6000000000byte\r\n"
              u"全角:3000000000(3000000000) 半角:0(0)\r\n全SP:0 半SP:0 タブ:0 字:3000000000");
    EXPECT_EQ(report.ReportWidth, 49);

    r.SearchStr = std::u16string(1u << 20, u'x');  // a very wide line still measures positive
    EXPECT_GT(BuildReport(r, d, u"").ReportWidth, 0);
}

}  // namespace
