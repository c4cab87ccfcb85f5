// The optional figures of the report's fourth line. The three measures are taken from the
// clipboard's Unicode text, since they must see what Shift-JIS cannot hold (emoji, 𠮷, accented
// Latin); the limit compares the Shift-JIS count `Chars` with the user's number.
//
// A "character" here is a user-perceived character (graphemes.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillet {

// User-perceived characters (grapheme clusters) in the text: what the manuscript places in cells.
int64_t CountCharacters(std::u16string_view text);

// 原稿用紙: rows of 20 cells, sheets of 20 rows.
//  - CR LF, a lone CR and a lone LF each end a paragraph; every paragraph starts on a new row and
//    an empty one takes a row; a line break at the very end of the text adds none (so a text of
//    only one line break is one empty paragraph, one row).
//  - Every character takes one cell, spaces, tabs and other controls included.
//  - 行頭禁則 by ぶら下げ: when a row is full, closing punctuation that comes next
//    (、。，．」』）】〕〉》］｝”’ and half-width ､｡｣, however many in a run) hangs in the margin
//    of that row instead of opening a new one. A character counts as closing punctuation by its
//    first code point.
inline constexpr int64_t kManuscriptColumns = 20;
inline constexpr int64_t kManuscriptRowsPerSheet = 20;

struct Manuscript {
    int64_t Rows = 0;
    int64_t Sheets = 0;  // Rows / 20, rounded up
};
Manuscript ManuscriptSize(std::u16string_view text);

// UTF-8 length: 1 to 4 bytes per code point, CR LF 2; an unpaired surrogate is the 3 bytes of
// the U+FFFD it would become.
int64_t Utf8Length(std::u16string_view text);

// X's weighted length: what X's own counting library (twitter-text 3.1, `parseTweet`) gives,
// over the text's NFC as it takes it:
//  - a code point weighs 1 in U+0000–U+10FF, U+2000–U+200D, U+2010–U+201F and U+2032–U+2037,
//    2 elsewhere (kanji, kana, half-width katakana, supplementary planes; an unpaired surrogate
//    too);
//  - a link weighs 23: with or without http:// or https://, on the top-level domains the library
//    knows, international hosts and punycode included, with its port, path, query and fragment,
//    balanced parentheses, not trailing punctuation; a host label longer than 63 once in
//    punycode, or a link longer than 4096, is no link (x_entities.h);
//  - an emoji sequence that the library's emoji pattern matches weighs 2 as a whole (a lone ©
//    or ® is no emoji there: it weighs 1).
// NFC is taken only where the committed tables say it may change something, so text that is
// NFC already (plain Japanese text always is) never reaches the normaliser.
inline constexpr int64_t kXMaxWeightedLength = 280;
int64_t XWeightedLength(std::u16string_view text);

// The three measures a figures flag text asks for: its n-th character "1" turns on the n-th of
// 原稿用紙, UTF-8, X; anything else, or a missing character, leaves it off.
struct UnicodeFigures {
    std::optional<Manuscript> ManuscriptPages;
    std::optional<int64_t> Utf8Bytes;
    std::optional<int64_t> XWeighted;
};
UnicodeFigures ComputeFigures(std::u16string_view unicodeText, std::u16string_view customItemEx);

// 字数制限: how far `chars` is from the limit; nothing when the limit is 0 (or less: none).
struct LimitStatus {
    bool Over = false;   // chars > limit
    int64_t Amount = 0;  // what remains when not over, the excess when over
};
std::optional<LimitStatus> CheckLimit(int64_t chars, int32_t limit);

}  // namespace quillet
