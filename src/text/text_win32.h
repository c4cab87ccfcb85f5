// A text service that only the Windows implementation offers: the clipboard's conversion to
// Shift-JIS. ICU's windows-31j lacks about 200 of the best-fit mappings it makes (U+00A1 to "!",
// U+00E9 to "e" ...), and nothing in the native build reads a clipboard.
#pragma once

#include <string>
#include <string_view>

namespace quillet::text {

// UTF-16 to code page 932 exactly as Windows makes a Japanese copy's CF_TEXT from its Unicode
// text: with the code page's best-fit mappings and its default character "?". Unlike ToSjis,
// which writes "?" for every character without an exact mapping, "é" becomes "e" here.
std::string ToSjisBestFit(std::u16string_view text);

}  // namespace quillet::text
