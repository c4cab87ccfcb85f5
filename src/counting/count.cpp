#include "counting/count.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <vector>

#include "text/text.h"

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
    UnitSet second;        // the same as `first` for a one-unit pattern
    std::size_t span = 1;  // units the filter looks at: 1 or 2
};

bool InSet(char16_t c, const UnitSet& s) {
    return c == s[0] || c == s[1] || c == s[2] || c == s[3];
}

#ifdef QUILLET_SSE2
// The unit set broadcast to eight lanes, made once per search.
struct UnitSet8 {
    explicit UnitSet8(const UnitSet& s) {
        for (std::size_t k = 0; k < s.size(); ++k) v[k] = _mm_set1_epi16(static_cast<short>(s[k]));
        static_assert(std::tuple_size_v<UnitSet> == 4);
    }
    __m128i Match(__m128i units) const {
        return _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi16(units, v[0]), _mm_cmpeq_epi16(units, v[1])),
            _mm_or_si128(_mm_cmpeq_epi16(units, v[2]), _mm_cmpeq_epi16(units, v[3])));
    }
    // A plain array: std::array<__m128i> drops the vector type's alignment attribute.
    __m128i v[4];
};
#endif

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

// The sliding window itself, but only at positions the filter lets through, found eight at a
// time. Candidates come in increasing order, and one that starts inside the last match is passed
// over, which keeps the count greedy and non-overlapping. Each candidate costs at most the
// pattern's length, so this serves short patterns only, where it beats the automaton.
template <typename Key>
int64_t CandidateCount(std::u16string_view text, const std::vector<char16_t>& pat, Key key,
                       const Filter& filter) {
    const char16_t* t = text.data();
    const std::size_t n = text.size(), m = pat.size(), span = filter.span;
    int64_t count = 0;
    std::size_t next = 0;  // where the next match may start
    // Branch-free, so that dense matches cost no mispredicted jumps.
    auto verify = [&](std::size_t p) {
        if (p < next) return;
        bool equal = true;
        for (std::size_t j = span; j < m; ++j) equal &= key(t[p + j]) == pat[j];
        count += equal;
        next = equal ? p + m : next;
    };
    std::size_t i = 0;
#ifdef QUILLET_SSE2
    const UnitSet8 first(filter.first), second(filter.second);
    for (; i + 7 + m <= n; i += 8) {
        __m128i hit = first.Match(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i)));
        if (span == 2) {
            hit = _mm_and_si128(
                hit, second.Match(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + 1))));
        }
        // One bit per 16-bit lane.
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit)) & 0x5555u; mask != 0;
             mask &= mask - 1) {
            verify(i + static_cast<std::size_t>(std::countr_zero(mask)) / 2);
        }
    }
#endif
    for (; i + m <= n; ++i) {
        if (InSet(t[i], filter.first) && (span == 1 || InSet(t[i + 1], filter.second))) verify(i);
    }
    return count;
}

// Patterns up to this length are matched by candidates: at most this many unit comparisons per
// text position even in the worst case. Longer ones go through the automaton, linear always.
constexpr std::size_t kCandidatePatternMax = 16;
// Below this text length, building the filter costs more than it saves.
constexpr std::size_t kFilterFrom = 4096;

// The members of a unit's loose class, or nothing when there are more than a UnitSet holds.
std::optional<UnitSet> LooseClass(char16_t unit) {
    const std::u16string_view members = text::LooseClassMembers(unit);
    UnitSet s{};
    if (members.size() > s.size()) return std::nullopt;
    for (std::size_t k = 0; k < s.size(); ++k) s[k] = members[k < members.size() ? k : 0];
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
            return CandidateCount(text, pat, key,
                                  Filter{*first, *second, pattern.size() > 1 ? 2u : 1u});
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
            [](char16_t c) { return LooseClass(c); });
    }
    return Count(
        text, pattern, [](char16_t c) { return c; },
        [](char16_t c) {
            return std::optional<UnitSet>(UnitSet{c, c, c, c});
        });
}

void CountText(std::u16string_view text, CountResult& result, int32_t searchFuzzy) {
    // The single-unit counts and CR LF in branch-free passes the compiler vectorises: CR LF
    // cannot overlap itself, so counting each CR directly followed by LF equals its greedy count.
    // Blocks short enough for 16-bit counters keep all eight lanes of a vector busy.
    const std::size_t n = text.size();
    const char16_t* t = text.data();
    constexpr std::size_t kBlock = 0xFFFF;
    int64_t lineBreaks = 0, halfSpaces = 0, fullSpaces = 0, tabs = 0;
    for (std::size_t start = 0; start < n; start += kBlock) {
        const std::size_t end = std::min(n, start + kBlock);
        uint16_t lb = 0, hs = 0, fs = 0, tb = 0;
        for (std::size_t i = start; i < end; ++i) {
            hs += t[i] == u' ';
            fs += t[i] == u'\u3000';
            tb += t[i] == u'\t';
        }
        const std::size_t pairsEnd = std::min(end, n - 1);
        for (std::size_t i = start; i < pairsEnd; ++i) {
            lb += (t[i] == u'\r') & (t[i + 1] == u'\n');
        }
        lineBreaks += lb;
        halfSpaces += hs;
        fullSpaces += fs;
        tabs += tb;
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
