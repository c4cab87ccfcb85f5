// The system's appearance as the program's windows follow it: high contrast, the apps' and the
// task bar's light or dark theme, the system colours. Windows that paint themselves keep a
// LivePalette and refresh it when the system says the appearance changed.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "display/theme.h"
#include "platform/unique_handle.h"

namespace quillet::display {

inline COLORREF ToColorRef(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

// The palette for the appearance the system has now.
Palette CurrentPalette();

// Whether the task bar is light (SystemUsesLightTheme; dark where the value is missing, as on
// every Windows before 10 1903).
bool TaskbarIsLight();

// A window's palette and the brushes of its grounds.
class LivePalette {
public:
    LivePalette() : palette_(CurrentPalette()) {}
    const Palette& get() const { return palette_; }
    // Reads the appearance again (WM_SETTINGCHANGE, WM_SYSCOLORCHANGE); true when the palette
    // changed.
    bool Refresh();
    // A solid brush of `colour`, kept until the palette changes.
    HBRUSH Brush(Rgb colour);

private:
    Palette palette_;
    std::vector<std::pair<Rgb, UniqueBrush>> brushes_;
};

// A dark or light title bar for `hwnd` (Windows 10 1809 on; older systems keep theirs).
void UseDarkTitleBar(HWND hwnd, bool dark);

}  // namespace quillet::display
