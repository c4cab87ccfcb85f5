// The Conf.txt format: reading hand-edited files, writing the eleven lines, and the way back.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <string_view>

#include "settings/conf_format.h"
#include "settings/settings.h"
#include "text/text.h"

namespace quillet {

// Readable failures: the settings as the file would show them.
void PrintTo(const Settings& s, std::ostream* os) {
    *os << "{" << s.FormLeft << "," << s.FormTop << "," << s.FormWidth << "," << s.FormHeight
        << " tray " << s.TaskTray << " close " << s.TimeAutoClose << " pos \""
        << text::ToSjis(s.DispPos) << "\" search \"" << text::ToSjis(s.SearchString) << "\" fuzzy "
        << s.SearchFuzzy << " item \"" << text::ToSjis(s.CustomItem) << "\" msg " << s.CustomMsg
        << " ex \"" << text::ToSjis(s.CustomItemEx) << "\" limit " << s.CharLimit << "}";
}

}  // namespace quillet

namespace {

using namespace std::string_literals;
using quillet::ApplyConfText;
using quillet::ConfDefault;
using quillet::FormatConfText;
using quillet::Settings;
using quillet::WindowGeometry;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// 右下隅 and ポインタ in Shift-JIS; ポインタ has the ASCII bytes "|" and "^" as trail bytes.
const std::string kBottomRightSjis = "\x89\x45\x89\xBA\x8B\xF7";
const std::string kPointerSjis = "\x83\x7C\x83\x43\x83\x93\x83\x5E";

// Settings that differ from the defaults in every field of the eleven lines, so that each must
// come from the file.
Settings Marked() {
    Settings s;
    s.FormLeft = 111;
    s.FormTop = 222;
    s.FormWidth = 333;
    s.FormHeight = 444;
    s.TaskTray = 7;
    s.TimeAutoClose = 9;
    s.DispPos = u"marked";
    s.SearchString = u"marked";
    s.SearchFuzzy = 3;
    s.CustomItem = u"0000000";
    s.CustomMsg = 4;
    return s;
}

Settings Read(std::string_view bytes, Settings base = Marked()) {
    ApplyConfText(bytes, base);
    return base;
}

WindowGeometry GeometryOf(const Settings& s) {
    return {static_cast<float>(s.FormLeft), static_cast<float>(s.FormTop),
            static_cast<float>(s.FormWidth), static_cast<float>(s.FormHeight)};
}

TEST(ConfWrite, DefaultsGiveTheExampleFileByteForByte) {
    const Settings s = ConfDefault(15360, 11520, 4000, 1500);
    const std::string expected =
        "form left = 5680\r\n"
        "form top = 5010\r\n"
        "form width = 4000\r\n"
        "form height = 1500\r\n"
        "task tray = 0\r\n"
        "time auto close = 5\r\n"
        "disp pos = " +
        kBottomRightSjis +
        "\r\n"
        "search string = \r\n"
        "search fuzzy = 0\r\n"
        "custom item = 1111111\r\n"
        "custom msg = 1\r\n";
    EXPECT_EQ(FormatConfText(s, GeometryOf(s)), expected);
}

TEST(ConfWrite, TheFiguresLinesOnlyWhenNotDefault) {
    Settings s = ConfDefault(15360, 11520, 4000, 1500);
    const std::string today = FormatConfText(s, GeometryOf(s));
    // A file of today, read and written again without the figures touched, stays as it was.
    Settings read = s;
    ApplyConfText(today, read);
    EXPECT_EQ(FormatConfText(read, GeometryOf(read)), today);

    s.CharLimit = 120;
    EXPECT_EQ(FormatConfText(s, GeometryOf(s)), today + "char limit = 120\r\n");
    s.CustomItemEx = u"101";
    EXPECT_EQ(FormatConfText(s, GeometryOf(s)),
              today + "custom item ex = 101\r\nchar limit = 120\r\n");
    s.CharLimit = 0;
    EXPECT_EQ(FormatConfText(s, GeometryOf(s)), today + "custom item ex = 101\r\n");
}

TEST(ConfWrite, GeometryIsTheShortestPlainDecimalOfTheFloat) {
    const std::pair<float, std::string_view> cases[] = {
        {5680.0f, "5680"},
        {4000.5f, "4000.5"},
        {0.1f, "0.1"},
        {1.25f, "1.25"},
        {-15.0f, "-15"},
        {-7.75f, "-7.75"},
        {0.001f, "0.001"},
        {-0.0f, "0"},
        {1e6f, "1000000"},
        {3e9f, "3000000000"},
        {16777217.0f, "16777216"},  // not a float: the nearest
        {123.456f, "123.456"},
        {1e30f, "1000000000000000000000000000000"},
        {1e-45f, "0.000000000000000000000000000000000000000000001"},
    };
    for (const auto& [value, text] : cases) {
        Settings s;
        const std::string file = FormatConfText(s, {value, 0, 0, 0});
        EXPECT_EQ(file.substr(0, file.find("\r\n")), "form left = "s + std::string(text));
    }
}

TEST(ConfWrite, GeometryTextReadsBackAsTheSameFloat) {
    uint32_t state = 12345;  // a fixed spread of bit patterns, every exponent
    for (int i = 0; i < 20000; ++i) {
        state = state * 1664525u + 1013904223u;
        float value;
        static_assert(sizeof value == sizeof state);
        std::memcpy(&value, &state, sizeof value);
        if (!std::isfinite(value)) continue;
        const std::string file = FormatConfText(Settings{}, {value, 0, 0, 0});
        const std::string text = file.substr(12, file.find("\r\n") - 12);
        ASSERT_EQ(text.find_first_not_of("-.0123456789"), std::string::npos) << text;
        float back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(back, value == 0 ? 0.0f : value) << text;
    }
}

TEST(ConfWrite, NumbersAndTexts) {
    Settings s;
    s.TaskTray = -1;
    s.TimeAutoClose = kMin;
    s.SearchFuzzy = kMax;
    s.DispPos = u"ポインタ";
    s.SearchString = u"é=x ";  // no é in Shift-JIS; the text goes out as it is otherwise
    s.CustomItem = u"";
    const std::string file = FormatConfText(s, {});
    EXPECT_NE(file.find("\r\ntask tray = -1\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\ntime auto close = -2147483648\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nsearch fuzzy = 2147483647\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\ndisp pos = " + kPointerSjis + "\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nsearch string = ?=x \r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\ncustom item = \r\n"), std::string::npos);
}

TEST(ConfRead, TheExampleFileGivesTheDefaults) {
    const Settings defaults = ConfDefault(15360, 11520, 4000, 1500);
    EXPECT_EQ(Read(FormatConfText(defaults, GeometryOf(defaults))), defaults);
}

TEST(ConfRead, KeysMatchRegardlessOfCaseAndSurroundingSpaces) {
    for (std::string_view line : {"Form Left=10", " FORM LEFT = 10", "form left = 10",
                                  "   fOrM lEfT   =10", "form left =      10"}) {
        EXPECT_EQ(Read(line).FormLeft, 10) << line;
    }
    // Only spaces are trimmed, and the words of a key must stand as written.
    for (std::string_view line : {"\tform left = 10", "form left\t= 10", "formleft = 10",
                                  "form  left = 10", "form left x = 10", "= 10"}) {
        EXPECT_EQ(Read(line), Marked()) << line;
    }
}

TEST(ConfRead, NumbersAreTheLeadingNumericPartRoundedHalfToEven) {
    const std::pair<std::string_view, int32_t> cases[] = {
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"4000.5", 4000},
        {"4001.5", 4002},
        {"-2.5", -2},
        {"-3.5", -4},
        {"+7", 7},
        {"-7", -7},
        {"007", 7},
        {"1e3", 1000},
        {"1.5E2", 150},
        {"25e-1", 2},
        {"35E-1", 4},
        {"2e+2x", 200},
        {"1e", 1},
        {"1e+", 1},
        {"1e-", 1},
        {".5", 0},
        {".6", 1},
        {"5.", 5},
        {"5.5.5", 6},
        {"-", 0},
        {".", 0},
        {"e5", 0},
        {"- 5", 0},
        {"--5", 0},
        {"+-5", 0},
        {"0x10", 0},
        {"12 34", 12},
        {"1,000", 1},
        {"-0.4", 0},
        {"1e-400", 0},
        {"-1e-99999999999999999999", 0},
        {"\x82\x50\x82\x51", 0},  // full-width １２ are not digits
        {"2147483647", kMax},
        {"-2147483648", kMin},
        {"2147483647.49", kMax},
        {"0.0000000000000000000000000000000000000000000000000000000000001e61", 1},
    };
    for (const auto& [value, expected] : cases) {
        const std::string line = "form width = "s + std::string(value);
        EXPECT_EQ(Read(line).FormWidth, expected) << line;
    }
}

TEST(ConfRead, NumbersOutsideTheIntegerRangeLeaveTheSettingAsItWas) {
    const std::string huge(400, '9');
    for (const std::string& value :
         {"2147483648"s, "2147483647.5"s, "-2147483649"s, "1e10"s, "-1e400"s, huge, "1e999999"s,
          "1" + std::string(5000, '0') + "e-4990"}) {
        EXPECT_EQ(Read("time auto close = " + value).TimeAutoClose, 9) << value.substr(0, 20);
    }
}

TEST(ConfRead, CustomMsgMustBeANumberAsAWhole) {
    const std::pair<std::string_view, int32_t> cases[] = {
        {"0", 0},
        {"2", 2},
        {"  2  ", 2},
        {"-1", -1},
        {"1.5", 2},
        {"2.5", 2},
        {"1e2", 100},
        {"+3", 3},
        // not a number as a whole, or out of range: the value it had (4) stays
        {"", 4},
        {"abc", 4},
        {"12abc", 4},
        {"1 2", 4},
        {"1e", 4},
        {"\t1", 4},
        {"9999999999", 4},
        {"-", 4},
    };
    for (const auto& [value, expected] : cases) {
        const std::string line = "custom msg = "s + std::string(value);
        EXPECT_EQ(Read(line).CustomMsg, expected) << line;
    }
}

TEST(ConfRead, TextValues) {
    struct Case {
        std::string line;
        std::u16string searchString;
    };
    const Case cases[] = {
        {"search string = abc", u"abc"},
        {"search string =   abc  ", u"abc  "},  // leading spaces go, trailing stay
        {"search string = ", u""},              // empty overwrites
        {"search string =", u""},
        {"search string = a\nb", u"a\nb"},   // a lone LF belongs to the line
        {"search string = \t x", u"\t x"},   // only spaces are removed
        {"search string = a=b", u"marked"},  // two "=": the line is skipped
        {"search string = " + kPointerSjis, u"ポインタ"},
        {"search string = a"s + '\0' + "b", u"a\0b"s},
        {"search string = ab\x83", u"ab"},  // half a character at the end is dropped
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.line).SearchString, c.searchString) << c.line;

    EXPECT_EQ(Read("disp pos = " + kBottomRightSjis).DispPos, u"右下隅");
    EXPECT_EQ(Read("custom item = 10101").CustomItem, u"10101");
    EXPECT_EQ(Read("custom item = 1111111111 ").CustomItem, u"1111111111 ");
}

TEST(ConfRead, TheFiguresTakeOnlyWhatTheDialogWritesElseTheirDefaults) {
    const std::pair<std::string_view, std::u16string_view> flags[] = {
        {"101", u"101"},
        {"  011  ", u"011"},
        {"000", u"000"},
        {"10", u"000"},
        {"1010", u"000"},
        {"1a1", u"000"},
        {"", u"000"},
        {"1 01", u"000"},
        {"\x82\x50\x82\x4F\x82\x50", u"000"},  // full-width １０１
    };
    const std::pair<std::string_view, int32_t> limits[] = {
        {"120", 120},
        {" 7 ", 7},
        {"007", 7},
        {"0", 0},
        {"2147483647", kMax},
        {"-5", 0},
        {"+5", 0},
        {"1.5", 0},
        {"1e3", 0},
        {"12abc", 0},
        {"abc", 0},
        {"", 0},
        {"2147483648", 0},
        {"99999999999999999999", 0},
    };
    Settings base;
    base.CustomItemEx = u"110";
    base.CharLimit = 9;
    for (const auto& [value, expected] : flags) {
        EXPECT_EQ(Read("custom item ex = "s + std::string(value), base).CustomItemEx, expected)
            << value;
    }
    for (const auto& [value, expected] : limits) {
        EXPECT_EQ(Read("CHAR LIMIT=" + std::string(value), base).CharLimit, expected) << value;
    }
    // "custom item" is a key of its own, and an older reader skips the new keys as unknown.
    const Settings s = Read("custom item ex = 111\r\ncustom item = 1\r\n", base);
    EXPECT_EQ(s.CustomItemEx, u"111");
    EXPECT_EQ(s.CustomItem, u"1");
}

TEST(ConfRead, LinesEndAtCrLfOrALoneCr) {
    for (std::string_view file : {
             "form left = 1\r\nform top = 2\r\n",
             "form left = 1\rform top = 2\r",
             "form left = 1\r\n\r\n\rform top = 2",  // empty lines, no end on the last
             "\r\n\n\rform left = 1\r\nform top = 2\r\n",
         }) {
        const Settings s = Read(file);
        EXPECT_EQ(s.FormLeft, 1) << file;
        EXPECT_EQ(s.FormTop, 2) << file;
    }
}

TEST(ConfRead, LfOnlyFileIsOneLineThatSetsNothing) {
    const Settings defaults = ConfDefault(15360, 11520, 4000, 1500);
    std::string file = FormatConfText(defaults, GeometryOf(defaults));
    std::string lfOnly;
    for (char c : file) {
        if (c != '\r') lfOnly.push_back(c);
    }
    EXPECT_EQ(Read(lfOnly), Marked());
    // One key alone on LF lines still reads: the line is "form left = 10\n".
    EXPECT_EQ(Read("form left = 10\n").FormLeft, 10);
}

TEST(ConfRead, SkippedLinesAndTheLastOccurrence) {
    const Settings s = Read(
        "form left = 1\r\n"
        "FORM LEFT = 2\r\n"
        "form left = 3 = 4\r\n"  // skipped: does not undo the line before
        "form left\r\n"          // skipped: no "="
        "colour = red\r\n"       // unknown key
        "search string = x\r\n"
        "search string = \r\n"
        "custom msg = 0\r\n"
        "custom msg = no\r\n");  // not a number: the 0 before stays
    EXPECT_EQ(s.FormLeft, 2);
    EXPECT_EQ(s.SearchString, u"");
    EXPECT_EQ(s.CustomMsg, 0);
}

TEST(ConfRead, BrokenBytesNeverSpillIntoOtherLines) {
    // A lead byte right before CR, "=" or the end: the separators still count as such.
    const Settings s = Read(
        "disp pos = ab\x83\r\n"
        "task tray = 1\r\n"
        "search\x83 string = x\r\n"
        "search string = y\x81=z\r\n"
        "custom item = \x81\x20\xFF\x80\xA0\r\n"
        "form top = \x00"s
        "5\r\n"
        "time auto close = 3\x82");
    EXPECT_EQ(s.DispPos, u"ab");
    EXPECT_EQ(s.TaskTray, 1);
    EXPECT_EQ(s.SearchString, u"marked");
    EXPECT_FALSE(s.CustomItem.empty());
    EXPECT_EQ(s.FormTop, 0);
    EXPECT_EQ(s.TimeAutoClose, 3);
}

TEST(ConfRoundTrip, EverySettingComesBack) {
    Settings s;
    s.FormLeft = -300;
    s.FormTop = 16000000;  // still exact as a float
    s.FormWidth = 4005;
    s.FormHeight = 1;
    s.TaskTray = 1;
    s.TimeAutoClose = kMin;
    s.DispPos = u"左上隅";
    s.SearchString = u"表ソ能 ａＢｃ\n\tx  ";  // trail bytes 0x5C, LF, tab, trailing spaces
    s.SearchFuzzy = kMax;
    s.CustomItem = u"10";
    s.CustomMsg = -5;
    s.CustomItemEx = u"011";
    s.CharLimit = kMax;
    EXPECT_EQ(Read(FormatConfText(s, GeometryOf(s))), s);

    s.SearchString = u"";
    s.CustomItem = u"";
    s.DispPos = u"";
    EXPECT_EQ(Read(FormatConfText(s, GeometryOf(s))), s);
}

TEST(ConfRoundTrip, GeometryIsReadAsTheRoundedFloat) {
    Settings s;
    const Settings back = Read(FormatConfText(s, {4000.5f, 4001.5f, -0.5f, 1e10f}));
    EXPECT_EQ(back.FormLeft, 4000);
    EXPECT_EQ(back.FormTop, 4002);
    EXPECT_EQ(back.FormWidth, 0);
    EXPECT_EQ(back.FormHeight, 444);  // beyond 32 bits: kept
}

TEST(ConfRoundTrip, TheSearchStringCaveats) {
    Settings s;
    s.SearchString = u"a=b";
    EXPECT_EQ(Read(FormatConfText(s, {})).SearchString, u"marked");
    s.SearchString = u"  lead and trail  ";
    EXPECT_EQ(Read(FormatConfText(s, {})).SearchString, u"lead and trail  ");
    s.SearchString = u"line\r\nbreak";  // the CR ends the line; "break" is no setting
    EXPECT_EQ(Read(FormatConfText(s, {})).SearchString, u"line");
}

}  // namespace
