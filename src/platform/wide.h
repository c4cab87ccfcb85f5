// The portable code's char16_t texts and the W functions' wchar_t texts: on Windows both are
// UTF-16 code units of the same size, so crossing is a cast, not a conversion.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows only: wchar_t holds UTF-16");

inline const wchar_t* AsWide(const char16_t* p) {
    return reinterpret_cast<const wchar_t*>(p);
}
inline wchar_t* AsWide(char16_t* p) {
    return reinterpret_cast<wchar_t*>(p);
}

inline std::wstring Wide(std::u16string_view s) {
    return std::wstring(AsWide(s.data()), s.size());
}
inline std::u16string U16(std::wstring_view s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

}  // namespace quillet
