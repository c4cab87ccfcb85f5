// The windows' colours under the dark look and high contrast, and the contrast each text has
// against its ground.
#include <gtest/gtest.h>

#include "display/theme.h"

namespace quillet::display {
namespace {

// Invented system colours, all different, so that each use can be told apart; and Windows'
// stock light ones.
constexpr SystemColours kSystem{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4},
                                {5, 5, 5}, {6, 6, 6}, {7, 7, 7}};
constexpr SystemColours kStock{{255, 255, 255}, {0, 0, 0},       {255, 255, 225}, {0, 0, 0},
                               {0, 120, 215},   {255, 255, 255}, {0, 0, 0}};

// Each text: its contrast in the dark look, and in high contrast the system pair it takes
// (w: window, i: info, h: highlight).
struct Text {
    const char* name;
    Ink Palette::*ink;
    double dark;
    char pair;
};
constexpr Text kTexts[] = {
    {"instruction", &Palette::instruction, 6.08, 'w'},
    {"report", &Palette::report, 14.30, 'w'},
    {"overLimit", &Palette::overLimit, 6.49, 'h'},
    {"popup", &Palette::popup, 12.42, 'i'},
    {"popupOverLimit", &Palette::popupOverLimit, 5.64, 'h'},
    {"popupSeconds", &Palette::popupSeconds, 6.17, 'i'},
    {"popupClose", &Palette::popupClose, 9.98, 'i'},
    {"help", &Palette::help, 8.96, 'i'},
    {"helpClose", &Palette::helpClose, 10.11, 'i'},
    {"notice", &Palette::notice, 7.45, 'w'},
};

TEST(Theme, ContrastRatiosFollowTheRelativeLuminanceFormula) {
    struct Case {
        Rgb a, b;
        double ratio;
    };
    for (const Case c :
         {Case{{255, 255, 255}, {0, 0, 0}, 21.0}, Case{{0, 0, 0}, {255, 255, 255}, 21.0},
          Case{{9, 9, 9}, {9, 9, 9}, 1.0}, Case{{0x76, 0x76, 0x76}, {255, 255, 255}, 4.54},
          Case{{255, 0, 0}, {255, 255, 255}, 4.0}, Case{{0, 0, 255}, {0, 0, 0}, 2.44}}) {
        EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.005);
    }
}

// Every text of the dark look reads at 4.5:1 or more on a dark ground, whatever the system
// colours are; the over-limit red stays a red; the flat buttons' frame is seen.
TEST(Theme, EveryDarkTextHasAtLeastFourAndAHalfToOne) {
    EXPECT_EQ(SchemeFor(false, false), Scheme::Dark);
    const Palette dark = PaletteFor(Scheme::Dark, kStock);
    EXPECT_EQ(dark, PaletteFor(Scheme::Dark, kSystem));
    for (const Text& t : kTexts) {
        const Ink& ink = dark.*t.ink;
        const double ratio = ContrastRatio(ink.text, ink.back);
        EXPECT_NEAR(ratio, t.dark, 0.005) << t.name;
        EXPECT_GE(ratio, 4.5) << t.name;
        EXPECT_LT(RelativeLuminance(ink.back), 0.05) << t.name << ": not a dark ground";
    }
    for (const Ink& over : {dark.overLimit, dark.popupOverLimit}) {
        EXPECT_EQ(over.text.r, 255);
        EXPECT_GT(over.text.r - over.text.g, 120);
        EXPECT_EQ(over.text.g, over.text.b);
    }
    EXPECT_TRUE(dark.flatButtons);
    for (const Ink& button : {dark.popupClose, dark.helpClose}) {
        EXPECT_GE(ContrastRatio(dark.buttonFrame, button.back), 3.0) << "the frame is not seen";
    }
}

// High contrast: each text on the ground the system pairs it with, nothing of the program's
// own; over the limit the highlight pair instead of red.
TEST(Theme, HighContrastPaintsOnlyWithThePairsOfSystemColours) {
    EXPECT_EQ(SchemeFor(true, false), Scheme::HighContrast) << "it wins over the apps' theme";
    EXPECT_EQ(SchemeFor(true, true), Scheme::HighContrast);
    const Palette hc = PaletteFor(Scheme::HighContrast, kSystem);
    for (const Text& t : kTexts) {
        const Ink pair = t.pair == 'w'   ? Ink{kSystem.windowText, kSystem.window}
                         : t.pair == 'i' ? Ink{kSystem.infoText, kSystem.info}
                                         : Ink{kSystem.highlightText, kSystem.highlight};
        EXPECT_EQ(hc.*t.ink, pair) << t.name;
    }
    EXPECT_FALSE(hc.flatButtons) << "the system's edges are system colours";
}

}  // namespace
}  // namespace quillet::display
