// The text services, run against ICU natively and against the Windows NLS under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "text/text.h"

namespace {

using namespace quillet::text;

TEST(SjisByteLen, CountsOneOrTwoBytesPerCodeUnit) {
    EXPECT_EQ(SjisByteLen(u""), 0);
    EXPECT_EQ(SjisByteLen(u"abc"), 3);
    EXPECT_EQ(SjisByteLen(u"Hello, 世界！\r\nｱｲ　x\ty"), 22);
    EXPECT_EQ(SjisByteLen(u"ｱｲｳﾞﾟ"), 5);   // half-width katakana: one byte each
    EXPECT_EQ(SjisByteLen(u"アイ　"), 6);  // full-width katakana and U+3000: two
    EXPECT_EQ(SjisByteLen(u"①ⅰ髙"), 6);    // code page 932 extensions are two bytes too
}

TEST(SjisByteLen, UnencodableUnitsCountAsOneByte) {
    // Neither Latin-1 letters, nor emoji (each surrogate half), nor private use beyond the
    // user-defined area exist in code page 932: each becomes one '?'.
    EXPECT_EQ(SjisByteLen(u"é"), 1);
    EXPECT_EQ(SjisByteLen(u"😀"), 2);
    EXPECT_EQ(SjisByteLen(std::u16string(1, u'\xD800')), 1);
    EXPECT_EQ(SjisByteLen(u"한"), 1);
}

TEST(SjisByteLen, AgreesWithTheConverterOnEncodableText) {
    const std::u16string text = u"全角ｶﾀｶﾅ and ASCII、句読点。①②\r\n\t〜－";
    EXPECT_EQ(static_cast<int64_t>(ToSjis(text).size()), SjisByteLen(text));
}

TEST(Sjis, ConvertsBothWays) {
    const std::u16string text = u"右下隅 ｱｲ\r\n表ソ能";  // 表ソ能 carry 0x5C as trail byte
    const std::string bytes = ToSjis(text);
    EXPECT_EQ(bytes.substr(0, 6), "\x89\x45\x89\xBA\x8B\xF7");
    EXPECT_EQ(FromSjis(bytes), text);
}

TEST(Sjis, UnencodableBecomesQuestionMark) {
    EXPECT_EQ(ToSjis(u"aé😀"), "a???");
}

TEST(Sjis, DropsHalfACharacterAtTheEnd) {
    EXPECT_EQ(FromSjis("ab\x82"), u"ab");
    EXPECT_EQ(FromSjis("\x82\xA0\x82"), u"あ");
    EXPECT_EQ(FromSjis(""), u"");
}

TEST(Sjis, AnInvalidPairBecomesOneMiddleDot) {
    // A lead byte with an invalid trail byte: one substitute for the pair, as code page 932 does,
    // and nothing dropped or read past the end.
    EXPECT_EQ(FromSjis("a\x81\x20z"), u"a\u30FBz");
}

TEST(Loose, IgnoresCaseAndWidth) {
    const std::pair<std::u16string, std::u16string> equal[] = {
        {u"A", u"a"},  {u"Ａ", u"a"}, {u"ａ", u"A"}, {u"１", u"1"},
        {u"ｶ", u"カ"}, {u"　", u" "}, {u"Α", u"α"},  {u"Ж", u"ж"},
        {u"Ⅰ", u"ⅰ"},  {u"ﾞ", u"゛"}, {u"！", u"!"}, {u"ABC", u"ａｂｃ"},
    };
    for (const auto& [a, b] : equal) {
        EXPECT_TRUE(LooseEqual(a, b) && LooseEqual(b, a))
            << "U+" << std::hex << unsigned(a[0]) << " ~ U+" << unsigned(b[0]);
    }
}

TEST(Loose, KeepsWhatIsNotCaseOrWidth) {
    const std::pair<std::u16string, std::u16string> different[] = {
        {u"か", u"カ"},  // hiragana and katakana stay apart
        {u"a", u"b"},    {u"é", u"e"},       {u"a-b", u"ab-"},
        {u"ガ", u"ｶ゛"}, {u"\x01", u"\x02"},  // control characters are not ignorable here
        {u"ab", u"a"},                        // lengths differ
    };
    for (const auto& [a, b] : different) {
        EXPECT_FALSE(LooseEqual(a, b))
            << "U+" << std::hex << unsigned(a[0]) << " ~ U+" << unsigned(b[0]);
    }
}

TEST(Loose, ClassMembersAreExactlyTheUnitsOfTheSameKey) {
    std::size_t total = 0;
    for (char32_t u = 0; u < 0x10000; ++u) {
        const auto unit = static_cast<char16_t>(u);
        const auto members = LooseClassMembers(unit);
        ASSERT_NE(members.find(unit), std::u16string_view::npos) << std::hex << unsigned(u);
        ASSERT_TRUE(std::is_sorted(members.begin(), members.end()));
        for (char16_t m : members) ASSERT_EQ(LooseKey(m), LooseKey(unit));
        total += LooseKey(unit) == unit ? members.size() : 0;
    }
    EXPECT_EQ(total, 0x10000u);  // the classes cover every unit once
    for (char16_t c : std::u16string_view(u"AＡａ"))
        EXPECT_NE(LooseClassMembers(u'a').find(c), std::u16string_view::npos);
}

TEST(Loose, KeyIsAnEquivalence) {
    // Keys are class representatives: a key is its own key, and keys never leave the class.
    for (char32_t u = 0; u < 0x10000; ++u) {
        const char16_t k = LooseKey(static_cast<char16_t>(u));
        ASSERT_EQ(LooseKey(k), k) << "U+" << std::hex << unsigned(u);
        ASSERT_LE(k, u);
    }
}

}  // namespace

TEST(SameFileName, IgnoresCaseAndNothingElse) {
    const struct {
        std::u16string a, b;
        bool same;
    } cases[] = {
        {u"C:\\Q\\Quillet.exe", u"c:\\q\\QUILLET.EXE", true},
        {u"É", u"é", true},
        {u"Ａ", u"ａ", true},
        {u"Ω", u"ω", true},
        {u"Ж", u"ж", true},
        {u"Ａ", u"a", false},  // width is not case
        {u"か", u"カ", false},
        {u"ｶ", u"カ", false},
        {u"é", u"e", false},
        {u"ß", u"SS", false},
        {u"a", u"ab", false},
        {u"", u"", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameFileName(c.a, c.b), c.same) << "U+" << std::hex << unsigned(c.a[0]);
    }
}
