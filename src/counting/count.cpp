#include "counting/count.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <vector>

#include "platform/text.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace quillet {
namespace {

// The raw code units that can start a match, for a fast skip over text that cannot: the first
// pattern unit itself when exact, its whole loose class when loose (padded by repetition).
// Empty when the class is too large for the skip to pay.
using Starters = std::array<char16_t, 4>;

// First index >= i whose unit is one of `s`, or n. Eight units at a time with SSE2 where the
// processor has it (every x64 does); the bit mask of the hits gives the index directly.
std::size_t FindStarter(const char16_t* t, std::size_t i, std::size_t n, const Starters& s) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i s0 = _mm_set1_epi16(static_cast<short>(s[0]));
    const __m128i s1 = _mm_set1_epi16(static_cast<short>(s[1]));
    const __m128i s2 = _mm_set1_epi16(static_cast<short>(s[2]));
    const __m128i s3 = _mm_set1_epi16(static_cast<short>(s[3]));
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, s0), _mm_cmpeq_epi16(v, s1)),
                                         _mm_or_si128(_mm_cmpeq_epi16(v, s2), _mm_cmpeq_epi16(v, s3)));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask != 0) return i + static_cast<std::size_t>(std::countr_zero(mask)) / 2;
    }
#endif
    while (i < n && t[i] != s[0] && t[i] != s[1] && t[i] != s[2] && t[i] != s[3]) ++i;
    return i;
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

// The sliding window itself, but only at positions whose first unit can start a match, found
// eight at a time. Each candidate costs at most the pattern's length, so this is used for short
// patterns only, where it beats the automaton on ordinary text.
template <typename Key>
int64_t CandidateCount(std::u16string_view text, const std::vector<char16_t>& pat, Key key,
                       const Starters& starters) {
    const char16_t* t = text.data();
    const std::size_t n = text.size(), m = pat.size();
    int64_t count = 0;
    for (std::size_t i = FindStarter(t, 0, n, starters); i + m <= n;
         i = FindStarter(t, i, n, starters)) {
        std::size_t j = 1;
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

template <typename Key>
int64_t Count(std::u16string_view text, std::u16string_view pattern, Key key,
              const std::optional<Starters>& starters) {
    std::vector<char16_t> pat(pattern.size());
    std::transform(pattern.begin(), pattern.end(), pat.begin(), key);
    if (starters && pat.size() <= kCandidatePatternMax) {
        return CandidateCount(text, pat, key, *starters);
    }
    return KmpCount(text, pat, key);
}

// Below this length finding the starters costs more than it saves.
constexpr std::size_t kSkipFrom = 4096;

}  // namespace

int64_t CountOccurrences(std::u16string_view text, std::u16string_view pattern, int32_t fuzzy) {
    if (text.empty() || pattern.empty() || pattern.size() > text.size()) return 0;
    const bool skip = text.size() >= kSkipFrom;
    if (fuzzy != 0) {
        const char16_t* key = text::LooseKeyTable();
        std::optional<Starters> starters;
        if (skip) {
            // Members of the first unit's class; more than four and the skip is not used.
            const char16_t first = key[pattern[0]];
            Starters s{};
            std::size_t found = 0;
            for (std::size_t u = 0; u < 0x10000 && found <= s.size(); ++u) {
                if (key[u] == first && found++ < s.size()) s[found - 1] = char16_t(u);
            }
            if (found <= s.size()) {
                for (std::size_t j = found; j < s.size(); ++j) s[j] = s[0];
                starters = s;
            }
        }
        return Count(text, pattern, [key](char16_t c) { return key[c]; }, starters);
    }
    std::optional<Starters> starters;
    if (skip) starters = Starters{pattern[0], pattern[0], pattern[0], pattern[0]};
    return Count(text, pattern, [](char16_t c) { return c; }, starters);
}

void CountText(std::u16string_view text, CountResult& result, int32_t searchFuzzy) {
    // The single-unit counts and CR LF in one branch-free pass the compiler can vectorise: CR LF
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
