// Text statistics and the search-string count of one copied text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// The counts of one text. Counts are kept in 64 bits: a text of more than 2^31 code units is
// possible in a 64-bit process, and a 32-bit figure would wrap to a negative number there.
struct CountResult {
    int64_t Chars = 0;         // code units, each CR LF pair counted once
    int64_t Bytes = 0;         // Shift-JIS byte length of the whole text
    int64_t FullWidth = 0;     // characters two bytes long in Shift-JIS, U+3000 included
    int64_t FullSpaces = 0;    // U+3000
    int64_t HalfSpaces = 0;    // U+0020
    int64_t LineBreaks = 0;    // CR LF pairs
    int64_t Tabs = 0;          // U+0009
    std::u16string SearchStr;  // set by the caller before counting; may be empty
    int64_t SearchCount = 0;   // non-overlapping occurrences of SearchStr
};

// The figures the report shows in parentheses and the half-width count, derived from the counts.
struct DerivedFigures {
    int64_t CharsNet = 0;
    int64_t FullWidthNet = 0;
    int64_t HalfWidth = 0;
    int64_t HalfWidthNet = 0;
};

// Left-to-right, greedy, non-overlapping occurrences of `pattern` in `text`. Exact (fuzzy == 0)
// compares code units; loose (fuzzy != 0) ignores letter case and full/half width. An empty text
// or pattern gives 0. Linear in the text's length, whatever the pattern.
int64_t CountOccurrences(std::u16string_view text, std::u16string_view pattern, int32_t fuzzy);

// Fills every field of `result` but SearchStr, which the caller has set; `searchFuzzy` is the
// loose-search setting at the time of the call.
void CountText(std::u16string_view text, CountResult& result, int32_t searchFuzzy);

DerivedFigures Derive(const CountResult& result);

}  // namespace quillet
