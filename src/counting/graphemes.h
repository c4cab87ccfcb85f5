// User-perceived characters: the extended grapheme clusters of Unicode text segmentation, over
// UTF-16, from committed property ranges (unicode_tables.inc, made from ICU by
// tools/make_unicode_tables.cpp) so that the Windows build, which has no ICU, applies the same
// rules. Also whether NFC may change a code point, so that normalisation runs only where needed.
//
// The rules are ICU's for its tables' Unicode version, which are Unicode's without exception
// plus CLDR's conjunct rule: CR LF is one cluster; controls stand alone; Hangul syllables join by
// jamo; combining marks, variation selectors, emoji modifiers, ZWJ and spacing marks join the
// preceding character; prepended marks join the following one; an emoji ZWJ sequence is one
// cluster; regional indicators pair into flags; in Devanagari, Bengali, Gujarati, Oriya, Telugu
// and Malayalam a consonant, virama, consonant sequence is one cluster (Unicode 15.1 adopted
// that as GB9c). A surrogate pair is one code point; an unpaired surrogate is a code point of
// its own, as ICU reads it (class Other: a combining mark after it still joins it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::unicode {

// Grapheme_Cluster_Break, with Extended_Pictographic (always Other there) as a class of its own.
enum class Gcb : uint8_t {
    Other,
    CR,
    LF,
    Control,
    Extend,
    ZWJ,
    RegionalIndicator,
    Prepend,
    SpacingMark,
    L,
    V,
    T,
    LV,
    LVT,
    ExtPict,
    // For the conjunct rule: Other and Extend code points of the six scripts above, and the
    // combining marks it lets stand between consonant and virama.
    LinkingConsonant,  // Indic_Syllabic_Category=Consonant
    Virama,            // Indic_Syllabic_Category=Virama
    ExtendCcc,         // Extend with a combining class other than 0
};

// Every class that joins what it follows by GB9.
constexpr bool IsExtend(Gcb c) {
    return c == Gcb::Extend || c == Gcb::Virama || c == Gcb::ExtendCcc;
}

inline constexpr char32_t kHangulFirst = 0xAC00;
inline constexpr char32_t kHangulLast = 0xD7A3;

struct CharData {
    Gcb gcb = Gcb::Other;
    // NFC_Quick_Check is not Yes, or the combining class is not 0. Text without such a code point
    // is NFC, and each code point without the flag is a place where NFC may cut the text.
    bool nfcMayChange = false;
};

CharData DataOf(char32_t cp);

// The Unicode version the tables come from, e.g. "15.0".
const char* TablesUnicodeVersion();

// The boundary rules, fed one code point class at a time.
class GraphemeBreaker {
public:
    // Whether a cluster starts before a code point of this class.
    bool Starts(Gcb cur);
    // The state after a character that always stands alone after the previous one and does not
    // join the next by any rule that looks further back (Other, Control, CR, LF, LV, LVT).
    void ResetTo(Gcb cur) {
        prev_ = cur;
        first_ = false;
        riOdd_ = false;
        emoji_ = Emoji::None;
        conjunct_ = Conjunct::None;
    }
    Gcb Previous() const { return prev_; }

private:
    enum class Emoji : uint8_t { None, Pict, PictZwj };  // ExtPict Extend*, then ZWJ
    // LinkingConsonant ExtendCcc-or-ZWJ*, then Virama ExtendCcc-or-ZWJ*
    enum class Conjunct : uint8_t { None, Consonant, Virama };
    Gcb prev_ = Gcb::Other;
    bool first_ = true;
    bool riOdd_ = false;  // an odd run of regional indicators ends at prev_
    Emoji emoji_ = Emoji::None;
    Conjunct conjunct_ = Conjunct::None;
};

// Reads one code point at `i`: a surrogate pair as one, an unpaired surrogate as itself.
inline char32_t CodePointAt(std::u16string_view text, std::size_t i, std::size_t& units) {
    const char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
        units = 2;
        return 0x10000 + ((char32_t{u} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    units = 1;
    return u;
}

// The text in NFC, normalising only the stretches that hold a code point NFC may change (each
// from the code point before it to the next one NFC leaves alone, both places where NFC may cut
// the text), through the platform's normaliser. Returns false and leaves `out` alone when the
// text is NFC already, which is decided from the tables alone.
bool NfcWhereNeeded(std::u16string_view text, std::u16string& out);

}  // namespace quillet::unicode
