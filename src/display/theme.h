// The colours the program's own windows paint with, under each of the system's appearances:
// the light look they were designed in, a dark look of the program's own that follows the apps'
// dark theme, and high contrast, where every colour is one of the user's system colours.
#pragma once

#include <cstdint>

namespace quillet::display {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// WCAG 2's relative luminance (0 black … 1 white) and the contrast ratio of two colours
// (1 … 21); text that people with low vision can read needs 4.5 at least.
double RelativeLuminance(Rgb colour);
double ContrastRatio(Rgb a, Rgb b);

enum class Scheme { Light, Dark, HighContrast };

// High contrast overrides the apps' theme: the user chose those colours to be able to read.
Scheme SchemeFor(bool highContrast, bool appsUseLightTheme);

// The system colours the light and high-contrast looks take.
struct SystemColours {
    Rgb window, windowText, info, infoText, highlight, highlightText, buttonText;
};

// A text colour and the background it is drawn on.
struct Ink {
    Rgb text, back;
    bool operator==(const Ink&) const = default;
};

struct Palette {
    Scheme scheme = Scheme::Light;
    // The main window's text box: the instruction before the first count, a report, a report
    // whose 字数 is over the limit.
    Ink instruction, report, overLimit;
    // The popup: its body (the icon column shares the background), a report over the limit,
    // the seconds, the close button.
    Ink popup, popupOverLimit, popupSeconds, popupClose;
    // The help note and its close button; the notice.
    Ink help, helpClose, notice;
    // The close buttons' frame: drawn flat in this colour in the dark look; the light and
    // high-contrast looks draw the system's raised edge instead.
    bool flatButtons = false;
    Rgb buttonFrame;
    bool operator==(const Palette&) const = default;
};

Palette PaletteFor(Scheme scheme, const SystemColours& system);

}  // namespace quillet::display
