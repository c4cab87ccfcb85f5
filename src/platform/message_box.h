// The program's message boxes: always in front, since the program's own windows are topmost and
// the user is usually busy in another application when one appears.
#pragma once

#include <windows.h>

#include <string>

namespace quillet::sys {

// MessageBoxW with MB_TOPMOST | MB_SETFOREGROUND added, and the box raised to the top of the
// topmost band as it opens (not every implementation honours MB_TOPMOST).
int MessageBoxInFront(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

}  // namespace quillet::sys
