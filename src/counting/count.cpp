#include "counting/count.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <vector>

#include "platform/text.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUILLET_SSE2 1
#endif

namespace quillet {
namespace {

// The raw code units of one loose class (or the one unit, when exact), padded by repetition.
using UnitSet = std::array<char16_t, 4>;

// What the first two units of a match can be: a cheap filter that leaves few candidates for the
// full comparison on ordinary text.
struct Filter {
    UnitSet first;
    UnitSet second;  // the same as `first` for a one-unit pattern
    std::size_t span = 1;  // units the filter looks at: 1 or 2
};

bool InSet(char16_t c, const UnitSet& s) { return c == s[0] || c == s[1] || c == s[2] || c == s[3]; }

#ifdef QUILLET_SSE2
__m128i InSet8(__m128i v, const UnitSet& s) {
    auto eq = [&](char16_t u) { return _mm_cmpeq_epi16(v, _mm_set1_epi16(static_cast<short>(u))); };
    return _mm_or_si128(_mm_or_si128(eq(s[0]), eq(s[1])), _mm_or_si128(eq(s[2]), eq(s[3])));
}
#endif

// First index >= i where the filter passes, or n. Eight positions at a time with SSE2 where the
// processor has it (every x64 does): the bit mask of the hits gives the index directly.
std::size_t FindCandidate(const char16_t* t, std::size_t i, std::size_t n, const Filter& f) {
#ifdef QUILLET_SSE2
    for (; i + 8 + f.span - 1 <= n; i += 8) {
        const auto* p = reinterpret_cast<const __m128i*>(t + i);
        __m128i hit = InSet8(_mm_loadu_si128(p), f.first);
        if (f.span == 2) {
            hit = _mm_and_si128(hit, InSet8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + 1)),
                                            f.second));
        }
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask != 0) return i + static_cast<std::size_t>(std::countr_zero(mask)) / 2;
    }
#endif
    for (; i + f.span <= n; ++i) {
        if (InSet(t[i], f.first) && (f.span == 1 || InSet(t[i + 1], f.second))) return i;
    }
    return n;
}

// Knuth-Morris-Pratt over code units seen through `key` (identity for exact matching, the loose
// key for loose matching). Restarting from state 0 after each match makes the count greedy and
// non-overlapping, exactly as sliding a window of the pattern's length from the left and jumping
// past every match; unlike that window it never looks at a code unit twice.
template <typename Key>
int64_t KmpCount(std::u16string_view text, const std::vector<char16_t>& pat, Key key) {
    const std::size_t m = pat.size();
    std::vector<std::size_t> fail(m, 0);
    for (std::size_t i = 1, k = 0; i < m; ++i) {
        while (k > 0 && pat[i] != pat[k]) k = fail[k - 1];
        if (pat[i] == pat[k]) ++k;
        fail[i] = k;
    }
    int64_t count = 0;
    std::size_t q = 0;
    for (char16_t unit : text) {
        const char16_t c = key(unit);
        while (q > 0 && pat[q] != c) q = fail[q - 1];
        if (pat[q] == c && ++q == m) {
            ++count;
            q = 0;
        }
    }
    return count;
}

// The sliding window itself, but only at positions the filter lets through. Each candidate costs
// at most the pattern's length, so this serves short patterns only, where it beats the automaton
// on ordinary text.
template <typename Key>
int64_t CandidateCount(std::u16string_view text, const std::vector<char16_t>& pat, Key key,
                       const Filter& filter) {
    const char16_t* t = text.data();
    const std::size_t n = text.size(), m = pat.size();
    int64_t count = 0;
    for (std::size_t i = FindCandidate(t, 0, n, filter); i + m <= n;
         i = FindCandidate(t, i, n, filter)) {
        std::size_t j = filter.span;
        while (j < m && key(t[i + j]) == pat[j]) ++j;
        if (j == m) {
            ++count;
            i += m;
        } else {
            ++i;
        }
    }
    return count;
}

// Patterns up to this length are matched by candidates: at most this many unit comparisons per
// text position even in the worst case. Longer ones go through the automaton, linear always.
constexpr std::size_t kCandidatePatternMax = 16;
// Below this text length, building the filter costs more than it saves.
constexpr std::size_t kFilterFrom = 4096;

// The members of a unit's loose class, or nothing when there are more than a UnitSet holds.
std::optional<UnitSet> LooseClass(const char16_t* key, char16_t unit) {
    const char16_t k = key[unit];
    UnitSet s{};
    std::size_t found = 0;
    for (std::size_t u = 0; u < 0x10000; ++u) {
        if (key[u] != k) continue;
        if (found == s.size()) return std::nullopt;
        s[found++] = static_cast<char16_t>(u);
    }
    std::fill(s.begin() + static_cast<std::ptrdiff_t>(found), s.end(), s[0]);
    return s;
}

template <typename Key, typename ClassOf>
int64_t Count(std::u16string_view text, std::u16string_view pattern, Key key, ClassOf classOf) {
    std::vector<char16_t> pat(pattern.size());
    std::transform(pattern.begin(), pattern.end(), pat.begin(), key);
    if (text.size() >= kFilterFrom && pat.size() <= kCandidatePatternMax) {
        const auto first = classOf(pattern[0]);
        const auto second = pattern.size() > 1 ? classOf(pattern[1]) : first;
        if (first && second) {
            return CandidateCount(text, pat, key, Filter{*first, *second, pattern.size() > 1 ? 2u : 1u});
        }
    }
    return KmpCount(text, pat, key);
}

}  // namespace

int64_t CountOccurrences(std::u16string_view text, std::u16string_view pattern, int32_t fuzzy) {
    if (text.empty() || pattern.empty() || pattern.size() > text.size()) return 0;
    if (fuzzy != 0) {
        const char16_t* key = text::LooseKeyTable();
        return Count(
            text, pattern, [key](char16_t c) { return key[c]; },
            [key](char16_t c) { return LooseClass(key, c); });
    }
    return Count(
        text, pattern, [](char16_t c) { return c; },
        [](char16_t c) { return std::optional<UnitSet>(UnitSet{c, c, c, c}); });
}

void CountText(std::u16string_view text, CountResult& result, int32_t searchFuzzy) {
    // The single-unit counts and CR LF in branch-free passes the compiler can vectorise: CR LF
    // cannot overlap itself, so counting each CR directly followed by LF equals its greedy count.
    const std::size_t n = text.size();
    const char16_t* t = text.data();
    int64_t lineBreaks = 0, halfSpaces = 0, fullSpaces = 0, tabs = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        lineBreaks += (t[i] == u'\r') & (t[i + 1] == u'\n');
    }
    for (std::size_t i = 0; i < n; ++i) {
        halfSpaces += t[i] == u' ';
        fullSpaces += t[i] == u'\u3000';
        tabs += t[i] == u'\t';
    }
    const int64_t bytes = text::SjisByteLen(text);

    const auto length = static_cast<int64_t>(n);
    result.LineBreaks = lineBreaks;
    result.Bytes = bytes;
    result.Chars = length - lineBreaks;
    result.FullWidth = bytes - result.Chars - lineBreaks;
    result.HalfSpaces = halfSpaces;
    result.FullSpaces = fullSpaces;
    result.Tabs = tabs;
    result.SearchCount =
        result.SearchStr.empty() ? 0 : CountOccurrences(text, result.SearchStr, searchFuzzy);
}

DerivedFigures Derive(const CountResult& r) {
    DerivedFigures d;
    d.CharsNet = r.Chars - r.FullSpaces - r.HalfSpaces - r.LineBreaks - r.Tabs;
    d.FullWidthNet = r.FullWidth - r.FullSpaces;
    d.HalfWidth = r.Chars - r.FullWidth - r.LineBreaks - r.Tabs;
    d.HalfWidthNet = d.HalfWidth - r.HalfSpaces;
    return d;
}

}  // namespace quillet
