#include "display/system_theme.h"

#include <dwmapi.h>

namespace quillet::display {

namespace {

constexpr wchar_t kPersonalize[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// The attribute's number since Windows 10 20H1, and before it (1809 to 1909).
constexpr DWORD kDarkModeAttribute = 20;
constexpr DWORD kDarkModeAttributeBefore20H1 = 19;

// A DWORD under Personalize, or `missing` where there is none.
bool PersonalizeFlag(const wchar_t* name, bool missing) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kPersonalize, name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS) {
        return missing;
    }
    return value != 0;
}

bool HighContrastOn() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Rgb System(int index) {
    const COLORREF c = GetSysColor(index);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace

Palette CurrentPalette() {
    const SystemColours system{System(COLOR_WINDOW),    System(COLOR_WINDOWTEXT),
                               System(COLOR_INFOBK),    System(COLOR_INFOTEXT),
                               System(COLOR_HIGHLIGHT), System(COLOR_HIGHLIGHTTEXT),
                               System(COLOR_BTNTEXT)};
    // Without the value (Windows before 10) the apps are light.
    return PaletteFor(SchemeFor(HighContrastOn(), PersonalizeFlag(L"AppsUseLightTheme", true)),
                      system);
}

bool TaskbarIsLight() {
    return PersonalizeFlag(L"SystemUsesLightTheme", false);
}

bool LivePalette::Refresh() {
    Palette now = CurrentPalette();
    if (now == palette_) return false;
    palette_ = now;
    brushes_.clear();
    return true;
}

HBRUSH LivePalette::Brush(Rgb colour) {
    for (const auto& [c, brush] : brushes_) {
        if (c == colour) return brush.get();
    }
    UniqueBrush brush(CreateSolidBrush(ToColorRef(colour)));
    if (!brush) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return brushes_.emplace_back(colour, std::move(brush)).second.get();
}

void UseDarkTitleBar(HWND hwnd, bool dark) {
    const BOOL value = dark ? TRUE : FALSE;
    if (FAILED(DwmSetWindowAttribute(hwnd, kDarkModeAttribute, &value, sizeof value))) {
        DwmSetWindowAttribute(hwnd, kDarkModeAttributeBefore20H1, &value, sizeof value);
    }
}

}  // namespace quillet::display
