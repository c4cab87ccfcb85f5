// Title and version texts from the version resource, and the topmost helper several windows use.
#pragma once

#include <windows.h>

#include <string>

namespace quillet::app {

// "Ver0.50" for version 0.5.0.0; read afresh on every call.
std::wstring AppVersion();

// "Quillet！ Ver0.50".
std::wstring AppTitle();

// Executable stem, version and company: the tray menu's version item.
std::wstring VersionItemText();

// Top of the topmost band, without moving or sizing the window.
void SetTopMost(HWND hwnd);

}  // namespace quillet::app
