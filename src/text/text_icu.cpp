// Text services for the native build, on ICU: the windows-31j converter and ICU's case and
// width data.
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/unorm2.h>

#include <cstdint>
#include <memory>
#include <stdexcept>

#include "text/text.h"
#include "text/text_tables.h"

namespace quillet::text {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using UniqueConverter = std::unique_ptr<UConverter, ConverterCloser>;

// A converter that stops at the first unmappable or invalid sequence instead of substituting,
// so that the callers decide what such a sequence becomes.
UniqueConverter OpenSjis() {
    UErrorCode err = U_ZERO_ERROR;
    UniqueConverter conv(ucnv_open("windows-31j", &err));
    if (U_FAILURE(err)) throw std::runtime_error("ICU: no windows-31j converter");
    ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    ucnv_setFallback(conv.get(), false);
    return conv;
}

// Encodes one code unit; returns its byte count, or 0 when windows-31j has no mapping.
int EncodeUnit(UConverter* conv, char16_t unit, char (&out)[4]) {
    UErrorCode err = U_ZERO_ERROR;
    ucnv_resetFromUnicode(conv);
    const UChar src = unit;
    const int32_t n = ucnv_fromUChars(conv, out, sizeof out, &src, 1, &err);
    return U_SUCCESS(err) && n > 0 ? n : 0;
}

}  // namespace

namespace detail {

void BuildSjisTable(SjisTable& table) {
    auto conv = OpenSjis();
    char out[4];
    for (std::size_t u = 0; u < kUnits; ++u) {
        const auto unit = static_cast<char16_t>(u);
        const int n = IsSurrogate(unit) ? 0 : EncodeUnit(conv.get(), unit, out);
        table.len[u] = n == 2 ? 2 : 1;
    }
}

void BuildLooseTable(LooseTable& table) {
    // Case and width only, from ICU's character data: the width partner of a <wide> or <narrow>
    // compatibility character, then its simple case folding. (A "ja" collator at secondary
    // strength would also equate superscripts, circled letters, small kana and the digits of
    // every script with ASCII, none of which the Windows comparison does.)
    UErrorCode err = U_ZERO_ERROR;
    const UNormalizer2* nfkd = unorm2_getNFKDInstance(&err);
    if (U_FAILURE(err)) throw std::runtime_error("ICU: no NFKD data");
    auto fold = [&](char16_t unit) -> char16_t {
        UChar32 c = unit;
        // Half-width ﾞ and ﾟ decompose to the combining marks, but their full-width forms in
        // code page 932 are the spacing ゛ and ゜.
        if (c == 0xFF9E) return 0x309B;
        if (c == 0xFF9F) return 0x309C;
        const auto type = u_getIntPropertyValue(c, UCHAR_DECOMPOSITION_TYPE);
        if (type == U_DT_WIDE || type == U_DT_NARROW) {
            UChar buf[4];
            UErrorCode e = U_ZERO_ERROR;
            if (unorm2_getRawDecomposition(nfkd, c, buf, 4, &e) == 1 && U_SUCCESS(e)) c = buf[0];
        }
        c = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        return c <= 0xFFFF ? static_cast<char16_t>(c) : unit;
    };
    GroupBySortKey(table, [&](char16_t unit, std::string& key) {
        const char16_t f = fold(unit);
        key.assign(reinterpret_cast<const char*>(&f), sizeof f);
        return true;
    });
}

}  // namespace detail

std::string ToSjis(std::u16string_view text) {
    auto conv = OpenSjis();
    std::string out;
    out.reserve(text.size() * 2);
    char buf[4];
    for (char16_t unit : text) {
        const int n = detail::IsSurrogate(unit) ? 0 : EncodeUnit(conv.get(), unit, buf);
        if (n == 0) {
            out.push_back('?');
        } else {
            out.append(buf, static_cast<std::size_t>(n));
        }
    }
    return out;
}

std::u16string FromSjis(std::string_view bytes) {
    auto conv = OpenSjis();
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        std::size_t len = isLead ? 2 : 1;
        if (i + len > bytes.size()) break;  // half a character at the end: dropped
        UChar dst[4];
        UErrorCode err = U_ZERO_ERROR;
        ucnv_resetToUnicode(conv.get());
        const int32_t n =
            ucnv_toUChars(conv.get(), dst, 4, bytes.data() + i, static_cast<int32_t>(len), &err);
        if (U_SUCCESS(err) && n == 1) {
            out.push_back(static_cast<char16_t>(dst[0]));
        } else {
            out.push_back(u'\u30FB');  // the same middle dot that code page 932 uses
        }
        i += len;
    }
    return out;
}

std::u16string ToNfc(std::u16string_view text) {
    if (text.empty() || !detail::IsValidUtf16(text) || text.size() > INT32_MAX / 2) {
        return std::u16string(text);
    }
    UErrorCode err = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&err);
    if (U_FAILURE(err)) throw std::runtime_error("ICU: no NFC data");
    const auto length = static_cast<int32_t>(text.size());
    // NFC seldom lengthens a text: room for a little growth, and a second call when that is
    // not enough.
    std::u16string out(text.size() + text.size() / 8 + 8, u'\0');
    int32_t n = unorm2_normalize(nfc, text.data(), length, out.data(),
                                 static_cast<int32_t>(out.size()), &err);
    if (err == U_BUFFER_OVERFLOW_ERROR) {
        err = U_ZERO_ERROR;
        out.resize(static_cast<std::size_t>(n));
        n = unorm2_normalize(nfc, text.data(), length, out.data(), n, &err);
    }
    if (U_FAILURE(err)) return std::u16string(text);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

bool SameFileName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    // Each code unit on its own, surrogate halves included, as Windows' uppercase table maps them.
    auto upper = [](char16_t unit) {
        const UChar32 c = u_toupper(unit);
        return c <= 0xFFFF ? static_cast<char16_t>(c) : unit;
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}

const char* ImplementationName() {
    return "ICU";
}

}  // namespace quillet::text
