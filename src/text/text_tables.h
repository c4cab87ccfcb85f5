// Shared by the two text-service implementations: the per-code-unit tables they fill.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quillet::text::detail {

inline constexpr std::size_t kUnits = 0x10000;

struct SjisTable {
    std::array<uint8_t, kUnits> len{};  // 1 or 2 for every code unit
};

struct LooseTable {
    std::array<char16_t, kUnits> key{};
};

// Filled by the platform implementation (text_win32.cpp or text_icu.cpp).
void BuildSjisTable(SjisTable& table);
void BuildLooseTable(LooseTable& table);

inline bool IsSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// Whether the text is valid UTF-16: every high surrogate directly followed by a low one.
inline bool IsValidUtf16(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u < 0xD800 || u > 0xDFFF) continue;
        if (u > 0xDBFF || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
            return false;
        }
        ++i;
    }
    return true;
}

// Hiragana proper and its iteration marks. The voiced-sound marks U+3099-U+309C serve both
// syllabaries and stay out, so that half-width ﾞ still matches them.
inline bool IsHiragana(char32_t unit) {
    return (unit >= 0x3041 && unit <= 0x3096) || (unit >= 0x309D && unit <= 0x309F);
}

// Groups code units by a per-unit sort key: each unit gets the smallest unit with the same key.
// `keyOf(unit, key)` fills the key and returns false for units without one (ignorable in the
// collation, or surrogate halves): those only match themselves.
template <typename KeyOf>
void GroupBySortKey(LooseTable& table, KeyOf keyOf) {
    std::unordered_map<std::string, char16_t> first;
    first.reserve(kUnits);
    std::string key;
    for (std::size_t u = 0; u < kUnits; ++u) {
        const auto unit = static_cast<char16_t>(u);
        table.key[u] = unit;
        key.clear();
        if (IsSurrogate(unit) || !keyOf(unit, key) || key.empty()) continue;
        table.key[u] = first.try_emplace(key, unit).first->second;
    }
}

}  // namespace quillet::text::detail
