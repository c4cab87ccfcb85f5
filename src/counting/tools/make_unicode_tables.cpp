// Writes src/counting/unicode_tables.inc from the installed ICU: the grapheme cluster break
// class of every code point (Extended_Pictographic folded in as a class of its own) and whether
// NFC may change it. The Windows build has no ICU, so the program carries these ranges as source.
//
//   make_unicode_tables write FILE   regenerate the committed file
//   make_unicode_tables check FILE   exit 1 when FILE differs from what this ICU gives
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/uscript.h>
#include <unicode/uversion.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "counting/graphemes.h"

namespace {

using quillet::unicode::Gcb;

[[noreturn]] void Fail(const std::string& why) {
    std::cerr << "make_unicode_tables: " << why << "\n";
    std::exit(2);
}

// The scripts of ICU's (CLDR's) conjunct rule.
bool IsConjunctScript(UChar32 c) {
    switch (u_getIntPropertyValue(c, UCHAR_SCRIPT)) {
        case USCRIPT_DEVANAGARI:
        case USCRIPT_BENGALI:
        case USCRIPT_GUJARATI:
        case USCRIPT_ORIYA:
        case USCRIPT_TELUGU:
        case USCRIPT_MALAYALAM:
            return true;
        default:
            return false;
    }
}

Gcb ClassOf(UChar32 c) {
    const bool pict = u_hasBinaryProperty(c, UCHAR_EXTENDED_PICTOGRAPHIC);
    const auto gcb =
        static_cast<UGraphemeClusterBreak>(u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK));
    const auto insc = u_getIntPropertyValue(c, UCHAR_INDIC_SYLLABIC_CATEGORY);
    // The rules read Extended_Pictographic only on code points that are otherwise Other.
    if (pict && gcb != U_GCB_OTHER) Fail("an Extended_Pictographic code point is not GCB=Other");
    switch (gcb) {
        case U_GCB_OTHER:
            if (pict) return Gcb::ExtPict;
            if (insc == U_INSC_CONSONANT && IsConjunctScript(c)) return Gcb::LinkingConsonant;
            return Gcb::Other;
        case U_GCB_EXTEND:
            if (insc == U_INSC_VIRAMA && IsConjunctScript(c)) return Gcb::Virama;
            return u_getCombiningClass(c) != 0 ? Gcb::ExtendCcc : Gcb::Extend;
        case U_GCB_CR:
            return Gcb::CR;
        case U_GCB_LF:
            return Gcb::LF;
        case U_GCB_CONTROL:
            return Gcb::Control;
        case U_GCB_ZWJ:
            return Gcb::ZWJ;
        case U_GCB_REGIONAL_INDICATOR:
            return Gcb::RegionalIndicator;
        case U_GCB_PREPEND:
            return Gcb::Prepend;
        case U_GCB_SPACING_MARK:
            return Gcb::SpacingMark;
        case U_GCB_L:
            return Gcb::L;
        case U_GCB_V:
            return Gcb::V;
        case U_GCB_T:
            return Gcb::T;
        case U_GCB_LV:
            return Gcb::LV;
        case U_GCB_LVT:
            return Gcb::LVT;
        default:
            break;  // E_Base and friends left the data in Unicode 11
    }
    Fail("grapheme cluster break value " + std::to_string(gcb) + " at U+" + std::to_string(c));
}

// The Hangul syllables alternate LV, LVT x 27: one run, the lookup finds LVT by arithmetic.
Gcb StoredClassOf(UChar32 c) {
    const Gcb g = ClassOf(c);
    const auto cp = static_cast<char32_t>(c);
    if (cp >= quillet::unicode::kHangulFirst && cp <= quillet::unicode::kHangulLast) {
        const bool lv = (cp - quillet::unicode::kHangulFirst) % 28 == 0;
        if (g != (lv ? Gcb::LV : Gcb::LVT)) Fail("Hangul syllables do not follow LV, LVT x 27");
        return Gcb::LV;
    }
    return g;
}

bool NfcMayChange(UChar32 c) {
    return u_getIntPropertyValue(c, UCHAR_NFC_QUICK_CHECK) != UNORM_YES ||
           u_getCombiningClass(c) != 0;
}

std::string Generate() {
    UVersionInfo unicode;
    u_getUnicodeVersion(unicode);
    char version[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(unicode, version);

    std::ostringstream out;
    out << "// Made by tools/make_unicode_tables.cpp from ICU's Unicode " << version
        << " data; do not edit.\n"
           "// Each entry: first code point << 8 | class | 0x20 when NFC may change the code "
           "point.\n"
           "// A run lasts until the next entry's first code point.\n"
           "inline constexpr char kTablesUnicodeVersion[] = \""
        << version << "\";\ninline constexpr uint32_t kCharRuns[] = {";
    int previous = -1, count = 0;
    for (UChar32 c = 0; c <= 0x10FFFF; ++c) {
        const int value = static_cast<int>(StoredClassOf(c)) | (NfcMayChange(c) ? 0x20 : 0);
        if (value == previous) continue;
        previous = value;
        char entry[16];
        std::snprintf(entry, sizeof entry, "0x%08X,", static_cast<unsigned>(c) << 8 | value);
        out << (count++ % 8 == 0 ? "\n    " : " ") << entry;
    }
    out << "\n};\n";
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode == "write") {
        std::ofstream(argv[2], std::ios::binary) << Generate();
        return 0;
    }
    if (mode == "check") {
        std::ifstream in(argv[2], std::ios::binary);
        std::stringstream committed;
        committed << in.rdbuf();
        if (committed.str() == Generate()) return 0;
        std::cerr << argv[2] << " differs from the installed ICU's data: run make_unicode_tables "
                  << "write " << argv[2] << " and review the change of rules it brings\n";
        return 1;
    }
    std::cerr << "usage: make_unicode_tables write|check FILE\n";
    return 2;
}
