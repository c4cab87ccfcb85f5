#include "counting/count.h"

#include <algorithm>
#include <vector>

#include "platform/text.h"

namespace quillet {
namespace {

// Knuth-Morris-Pratt over code units seen through `key` (identity for exact matching, the loose
// key for loose matching). Restarting from state 0 after each match makes the count greedy and
// non-overlapping, exactly as sliding a window of the pattern's length from the left and jumping
// past every match; unlike that window it never looks at a code unit twice.
template <typename Key>
int64_t KmpCount(std::u16string_view text, std::u16string_view pattern, Key key) {
    const std::size_t m = pattern.size();
    std::vector<char16_t> pat(m);
    std::transform(pattern.begin(), pattern.end(), pat.begin(), key);

    if (m == 1) {
        const char16_t p = pat[0];
        return std::count_if(text.begin(), text.end(), [&](char16_t c) { return key(c) == p; });
    }

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

}  // namespace

int64_t CountOccurrences(std::u16string_view text, std::u16string_view pattern, int32_t fuzzy) {
    if (text.empty() || pattern.empty() || pattern.size() > text.size()) return 0;
    if (fuzzy != 0) return KmpCount(text, pattern, [](char16_t c) { return text::LooseKey(c); });
    return KmpCount(text, pattern, [](char16_t c) { return c; });
}

void CountText(std::u16string_view text, CountResult& result, int32_t searchFuzzy) {
    // One pass gathers what the separate single-pattern counts would give: CR LF cannot overlap
    // itself, so counting each CR directly followed by LF equals its greedy occurrence count.
    int64_t bytes = 0, lineBreaks = 0, halfSpaces = 0, fullSpaces = 0, tabs = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            ++bytes;
            if (c == u' ') {
                ++halfSpaces;
            } else if (c == u'\t') {
                ++tabs;
            } else if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
                ++lineBreaks;
            }
        } else {
            bytes += text::SjisUnitLen(c);
            if (c == u'\u3000') ++fullSpaces;
        }
    }
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
