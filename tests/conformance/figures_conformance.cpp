// The character rule and the NFC quick check, natively against ICU: on generated sequences of
// the code points where the rules turn, and on real samples,
//  - every prefix has as many characters as ICU's character break iterator finds (prefix counts
//    fix the boundaries, and a prefix may end inside a surrogate pair);
//  - a text the tables call NFC is NFC for ICU, and the stretch-by-stretch NFC equals ICU's NFC
//    of the whole text.
#include <unicode/ubrk.h>
#include <unicode/unorm2.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "counting/figures.h"
#include "counting/graphemes.h"

namespace {

// A representative of each class and of the places where NFC composes or reorders.
const std::vector<char32_t> kAlphabet = {
    u'a',    u'e',    u'1',    u'#',   u' ',    u'\r',  u'\n',   u'\t',   0x0000,  0x00AD,
    0x0301,  0x0308,  0x0323,  0x0344, 0x3099,  0x309A, 0xFF9E,  0x304B,  0x30AB,  0xFF76,
    0x1100,  0x1161,  0x11A8,  0xAC00, 0xAC01,  0x0600, 0x0903,  0x0915,  0x094D,  0x0E33,
    0x200D,  0x200C,  0x2764,  0x00A9, 0xFE0F,  0x20E3, 0x1F468, 0x1F469, 0x1F44D, 0x1F3FD,
    0x1F1EF, 0x1F1F5, 0xE0067, 0xD800, 0xDC00,  0x4E00, 0x20BB7, 0xF900,  0x2F800, 0x1D15E,
    0x3001,  0x3002,  0x300D,  0x2028, 0x1F3F4, 0x0B47, 0x0B3E,  0x093C,  0x0A95,  0x0ACD,
};

const char16_t* const kSamples[] = {
    u"吾輩は猫である。名前はまだ無い。\r\nどこで生れたかとんと見当がつかぬ。",
    u"ｶﾞｷﾞｸﾞ ガギグ か\u3099き\u3099 𠮷野家 﨑 葛\U000E0100城",
    u"👍👍🏽👨‍👩‍👧‍👦🇯🇵🇺🇸🏳️‍🌈 1️⃣ #\u20E3 "
    u"\u2764\uFE0F\u200D\U0001F525",
    u"🏴\U000E0067\U000E0062\U000E0065\U000E006E\U000E0067\U000E007F",
    u"한국어 텍스트와 ᄀ\u1161\u11A8 자모",
    u"नमस्ते क्षत्रिय ที่นี่ ำ",
    u"e\u0301 a\u0323\u0307 a\u0307\u0323 \u212B \u0344 Å ﬁ",
    u"\u0600\u0661 \u0627\u0644\u0639\u0631\u0628\u064A\u0629",
    u"https://example.com/パス\r\r\n\n\t\u2028\u0085",
};

std::u16string ToUtf16(const std::vector<char32_t>& cps) {
    std::u16string s;
    for (char32_t c : cps) {
        if (c < 0x10000) {
            s.push_back(static_cast<char16_t>(c));
        } else {
            s.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            s.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    return s;
}

int64_t IcuCharacters(std::u16string_view text) {
    if (text.empty()) return 0;
    UErrorCode err = U_ZERO_ERROR;
    UBreakIterator* it =
        ubrk_open(UBRK_CHARACTER, "ja", text.data(), static_cast<int32_t>(text.size()), &err);
    if (U_FAILURE(err)) return -1;
    int64_t count = 0;
    for (ubrk_first(it); ubrk_next(it) != UBRK_DONE;) ++count;
    ubrk_close(it);
    return count;
}

std::u16string IcuNfc(std::u16string_view text, bool& normalized) {
    UErrorCode err = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&err);
    const auto n = static_cast<int32_t>(text.size());
    normalized = unorm2_isNormalized(nfc, text.data(), n, &err);
    std::u16string out(text.size() * 3 + 1, u'\0');
    out.resize(static_cast<std::size_t>(
        unorm2_normalize(nfc, text.data(), n, out.data(), static_cast<int32_t>(out.size()), &err)));
    return out;
}

int failures = 0;

void Fail(const char* what, std::u16string_view text) {
    if (++failures > 20) return;
    std::printf("%s differs from ICU:", what);
    for (char16_t u : text) std::printf(" %04X", static_cast<unsigned>(u));
    std::printf("\n");
}

void Check(std::u16string_view text) {
    for (std::size_t k = 1; k <= text.size(); ++k) {
        if (quillet::CountCharacters(text.substr(0, k)) != IcuCharacters(text.substr(0, k))) {
            Fail("characters", text.substr(0, k));
            break;
        }
    }
    bool normalized = false;
    const std::u16string icu = IcuNfc(text, normalized);
    std::u16string mine;
    if (!quillet::unicode::NfcWhereNeeded(text, mine)) {
        if (!normalized) Fail("NFC quick check", text);
    } else if (mine != icu) {
        Fail("NFC", text);
    }
}

}  // namespace

int main() {
    int texts = 0;
    const std::size_t a = kAlphabet.size();
    for (std::size_t i = 0; i < a; ++i) {
        for (std::size_t j = 0; j < a; ++j) Check(ToUtf16({kAlphabet[i], kAlphabet[j]})), ++texts;
    }
    std::mt19937 rng(20240615);
    std::uniform_int_distribution<std::size_t> pick(0, a - 1), length(3, 14);
    for (int n = 0; n < 30000; ++n) {
        std::vector<char32_t> cps(length(rng));
        for (auto& c : cps) c = kAlphabet[pick(rng)];
        Check(ToUtf16(cps)), ++texts;
    }
    for (const char16_t* sample : kSamples) Check(sample), ++texts;
    std::printf("%d texts against ICU (Unicode tables %s): %d differ\n", texts,
                quillet::unicode::TablesUnicodeVersion(), failures);
    return failures == 0 ? 0 : 1;
}
