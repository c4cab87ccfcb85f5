#include "display/theme.h"

#include <algorithm>
#include <cmath>

namespace quillet::display {

namespace {

double Linear(uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The look the windows were designed in. The report box and the popup take the system's
// tooltip background; the help note and the notice have colours of their own.
Palette LightPalette(const SystemColours& s) {
    Palette p;
    p.scheme = Scheme::Light;
    p.instruction = {{192, 192, 192}, s.info};
    p.report = {{0, 0, 0}, s.info};
    p.overLimit = {{255, 0, 0}, s.info};
    p.popup = {s.windowText, s.info};
    p.popupOverLimit = {{255, 0, 0}, s.info};
    p.popupSeconds = {{128, 128, 128}, s.info};
    p.popupClose = {s.buttonText, s.info};
    p.help = {{0, 128, 0}, {240, 255, 240}};
    p.helpClose = {s.buttonText, {240, 255, 240}};
    p.notice = {{0, 0, 255}, {192, 255, 255}};
    return p;
}

// Quillet's own dark look: near-black grounds a step apart, each text at 4.5:1 or more against
// its ground; the red lightened, the help note's green and the notice's blue kept as hues.
Palette DarkPalette() {
    constexpr Rgb kBox{0x20, 0x20, 0x20};
    constexpr Rgb kBody{0x2B, 0x2B, 0x2B};
    constexpr Rgb kText{0xF0, 0xF0, 0xF0};
    constexpr Rgb kRed{0xFF, 0x7B, 0x7B};
    constexpr Rgb kHelpBack{0x1B, 0x2A, 0x1B};
    Palette p;
    p.scheme = Scheme::Dark;
    p.instruction = {{0x9E, 0x9E, 0x9E}, kBox};
    p.report = {kText, kBox};
    p.overLimit = {kRed, kBox};
    p.popup = {kText, kBody};
    p.popupOverLimit = {kRed, kBody};
    p.popupSeconds = {{0xAB, 0xAB, 0xAB}, kBody};
    p.popupClose = {kText, {0x3A, 0x3A, 0x3A}};
    p.help = {{0x8F, 0xD9, 0x8F}, kHelpBack};
    p.helpClose = {kText, {0x2E, 0x3D, 0x2E}};
    p.notice = {{0x8D, 0xB8, 0xFF}, {0x10, 0x2A, 0x33}};
    p.flatButtons = true;
    p.buttonFrame = {0x8C, 0x8C, 0x8C};
    return p;
}

// Only the user's own colours, each text on the ground the system pairs it with. A report over
// the limit turns to the highlight pair: red would be a colour the user did not choose, and its
// 「超過」 says the rest.
Palette HighContrastPalette(const SystemColours& s) {
    const Ink window{s.windowText, s.window};
    const Ink info{s.infoText, s.info};
    const Ink highlight{s.highlightText, s.highlight};
    Palette p;
    p.scheme = Scheme::HighContrast;
    p.instruction = p.report = window;
    p.overLimit = highlight;
    p.popup = p.popupSeconds = p.popupClose = info;
    p.popupOverLimit = highlight;
    p.help = p.helpClose = info;
    p.notice = window;
    return p;
}

}  // namespace

double RelativeLuminance(Rgb colour) {
    return 0.2126 * Linear(colour.r) + 0.7152 * Linear(colour.g) + 0.0722 * Linear(colour.b);
}

double ContrastRatio(Rgb a, Rgb b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Scheme SchemeFor(bool highContrast, bool appsUseLightTheme) {
    if (highContrast) return Scheme::HighContrast;
    return appsUseLightTheme ? Scheme::Light : Scheme::Dark;
}

Palette PaletteFor(Scheme scheme, const SystemColours& system) {
    switch (scheme) {
        case Scheme::Dark:
            return DarkPalette();
        case Scheme::HighContrast:
            return HighContrastPalette(system);
        case Scheme::Light:
            break;
    }
    return LightPalette(system);
}

}  // namespace quillet::display
