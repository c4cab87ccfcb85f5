// Text services for Windows: the NLS functions with code page 932 and the Japanese locale,
// named explicitly so that the program behaves alike on a system whose ANSI code page is not 932.
#include <windows.h>

#include <algorithm>
#include <climits>

#include "platform/wide.h"
#include "text/text.h"
#include "text/text_tables.h"
#include "text/text_win32.h"

namespace quillet::text {
namespace {

constexpr UINT kSjis = 932;
constexpr LCID kJapanese =
    MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);

// Encodes one code unit without best-fit substitutes; 0 when code page 932 has no mapping.
int EncodeUnit(char16_t unit, char (&out)[4]) {
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kSjis, WC_NO_BEST_FIT_CHARS, AsWide(&unit), 1, out,
                                      sizeof out, nullptr, &usedDefault);
    return n > 0 && !usedDefault ? n : 0;
}

bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

namespace detail {

void BuildSjisTable(SjisTable& table) {
    char out[4];
    for (std::size_t u = 0; u < kUnits; ++u) {
        const auto unit = static_cast<char16_t>(u);
        const int n = IsSurrogate(unit) ? 0 : EncodeUnit(unit, out);
        table.len[u] = n == 2 ? 2 : 1;
    }
}

void BuildLooseTable(LooseTable& table) {
    // A sort key with these flags is equal exactly when CompareString with them says equal.
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE | NORM_IGNOREWIDTH;
    BYTE buf[64];
    GroupBySortKey(table, [&](char16_t unit, std::string& key) {
        const int n = LCMapStringW(kJapanese, kFlags, AsWide(&unit), 1,
                                   reinterpret_cast<LPWSTR>(buf), sizeof buf);
        if (n <= 0) return false;
        // Keys are weight runs separated by 0x01 and closed by 0x00; only separators means
        // the unit carries no weight at all.
        bool weighted = false;
        for (int i = 0; i + 1 < n; ++i) weighted |= buf[i] > 1;
        if (!weighted) return false;
        key.assign(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
        return true;
    });
}

}  // namespace detail

std::string ToSjis(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    char buf[4];
    for (char16_t unit : text) {
        const int n = detail::IsSurrogate(unit) ? 0 : EncodeUnit(unit, buf);
        if (n == 0) {
            out.push_back('?');
        } else {
            out.append(buf, static_cast<std::size_t>(n));
        }
    }
    return out;
}

std::string ToSjisBestFit(std::u16string_view text) {
    std::string out;
    // WideCharToMultiByte takes int lengths: convert in bounded slices, never between the two
    // halves of a surrogate pair, which the conversion takes as one character.
    constexpr std::size_t kSlice = 1 << 26;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t stop = std::min(text.size(), pos + kSlice);
        if (stop < text.size() && IS_HIGH_SURROGATE(text[stop - 1]) &&
            IS_LOW_SURROGATE(text[stop])) {
            ++stop;
        }
        const int inLen = static_cast<int>(stop - pos);
        // A code unit becomes at most two bytes: one call, no measuring pass.
        const std::size_t at = out.size();
        out.resize(at + 2 * static_cast<std::size_t>(inLen));
        const int n = WideCharToMultiByte(kSjis, 0, AsWide(text.data() + pos), inLen,
                                          out.data() + at, 2 * inLen, nullptr, nullptr);
        out.resize(at + static_cast<std::size_t>(n > 0 ? n : 0));
        pos = stop;
    }
    return out;
}

std::u16string FromSjis(std::string_view bytes) {
    // Cut a lead byte that has lost its trail byte, so the conversion never guesses past the end.
    std::size_t end = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + len > bytes.size()) break;
        i += len;
        end = i;
    }
    std::u16string out;
    if (end == 0) return out;
    // MultiByteToWideChar takes an int length: convert in bounded slices on character edges.
    constexpr std::size_t kSlice = 1 << 26;
    std::size_t pos = 0;
    while (pos < end) {
        std::size_t stop = pos;
        while (stop < end && stop - pos < kSlice) {
            stop += IsLeadByte(static_cast<unsigned char>(bytes[stop])) ? 2 : 1;
        }
        const int inLen = static_cast<int>(stop - pos);
        const int need = MultiByteToWideChar(kSjis, 0, bytes.data() + pos, inLen, nullptr, 0);
        if (need > 0) {
            const std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(need));
            MultiByteToWideChar(kSjis, 0, bytes.data() + pos, inLen, AsWide(out.data() + at), need);
        }
        pos = stop;
    }
    return out;
}

std::u16string ToNfc(std::u16string_view text) {
    if (text.empty() || !detail::IsValidUtf16(text) || text.size() > INT_MAX / 4) {
        return std::u16string(text);
    }
    // NormalizeString (kernel32) gives an estimate first; a too-small buffer says so and the
    // call is made again with the size it asks for.
    const int length = static_cast<int>(text.size());
    int size = NormalizeString(NormalizationC, AsWide(text.data()), length, nullptr, 0);
    for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
        std::u16string out(static_cast<std::size_t>(size), u'\0');
        const int n =
            NormalizeString(NormalizationC, AsWide(text.data()), length, AsWide(out.data()), size);
        if (n > 0) {
            out.resize(static_cast<std::size_t>(n));
            return out;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        size = -n;
    }
    return std::u16string(text);
}

bool SameFileName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    // The file system's own comparison: the system's uppercase table, no locale.
    return CompareStringOrdinal(AsWide(a.data()), static_cast<int>(a.size()), AsWide(b.data()),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

const char* ImplementationName() {
    return "Win32 NLS";
}

}  // namespace quillet::text
