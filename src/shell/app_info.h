// Title and version texts from the version resource, and the topmost helper several windows use.
#pragma once

#include <windows.h>

#include <string>

namespace quillet::shell {

// "Ver0.50" for version 0.5.0.0; read afresh on every call.
std::wstring AppVersion();

// "Quillet！ Ver0.50".
std::wstring AppTitle();

// Executable stem, version and company: the tray menu's version item.
std::wstring VersionItemText();

// Top of the topmost band, without moving or sizing the window.
void SetTopMost(HWND hwnd);

// The portable texts are char16_t; on Windows that is the representation of wchar_t.
inline std::wstring Wide(std::u16string_view s) {
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}
inline std::u16string U16(std::wstring_view s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

}  // namespace quillet::shell
