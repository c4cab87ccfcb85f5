// Text services: Shift-JIS (code page 932) conversion and measure, the loose comparison
// "ignoring letter case and character width", and NFC normalisation.
//
// Two implementations stand behind this header: the Windows NLS functions (code page 932, the
// Japanese locale's sort keys, NormalizeString from kernel32) and ICU for the native build
// (windows-31j converter, ICU's case and width data, its NFC normaliser). Both reduce their
// platform's answer for the Shift-JIS rules to two per-code-unit tables, built once, so that
// every caller sees the same rules and the counting stays linear:
//   - the Shift-JIS byte length of each UTF-16 code unit (1 or 2);
//   - a loose key per code unit: two code units compare loosely equal when their keys are equal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::text {

// Bytes that one code unit takes in Shift-JIS. A code unit that code page 932 cannot encode
// (including each half of a surrogate pair) counts as one byte, as the '?' it would become.
int SjisUnitLen(char16_t unit);

// Byte length of the whole text in Shift-JIS; 0 for an empty text. Always equals the sum of
// SjisUnitLen over its code units.
int64_t SjisByteLen(std::u16string_view text);

// UTF-16 to Shift-JIS. Code units that cannot be encoded become '?'.
std::string ToSjis(std::u16string_view text);

// Shift-JIS to UTF-16. Bytes that do not form a valid character become a replacement character
// chosen by the platform; a trailing lone lead byte is dropped, never read past.
std::u16string FromSjis(std::string_view bytes);

// The loose comparison, one code unit at a time: letter case and full/half width are ignored;
// hiragana and katakana stay distinct. The key is the smallest code unit of the unit's class.
char16_t LooseKey(char16_t unit);

// The text in Unicode Normalization Form C (canonical composition). A text that is not valid
// UTF-16 (an unpaired surrogate) comes back unchanged: Windows refuses such text. The counting
// calls this only on the short stretches that its own tables say NFC may change.
std::u16string ToNfc(std::u16string_view text);

// Every code unit loosely equal to `unit` (itself included), in increasing order.
std::u16string_view LooseClassMembers(char16_t unit);

// Two texts of equal length whose code units are pairwise loosely equal.
bool LooseEqual(std::u16string_view a, std::u16string_view b);

// Whether two file paths are the same text the way Windows compares file names: code unit by
// code unit, letter case ignored through the simple uppercase mapping, nothing else (no width,
// no locale): "C:\Ａ" is "c:\ａ" but not "c:\a".
bool SameFileName(std::u16string_view a, std::u16string_view b);

// The two tables themselves, 65536 entries each, for loops over long texts that cannot afford a
// call per code unit: SjisLenTable()[u] == SjisUnitLen(u), LooseKeyTable()[u] == LooseKey(u).
const uint8_t* SjisLenTable();
const char16_t* LooseKeyTable();

// The name of the implementation ("Win32 NLS" or "ICU"), for test reports.
const char* ImplementationName();

}  // namespace quillet::text
