// The windows' colours under the light look, the dark one and high contrast, and the contrast
// each text has against its ground.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/theme.h"

namespace quillet::display {
namespace {

// Invented system colours, all different, so that each use can be told apart.
constexpr SystemColours kSystem{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4},
                                {5, 5, 5}, {6, 6, 6}, {7, 7, 7}};
// Windows' stock light colours: the tooltip ground 255 255 225, black texts.
constexpr SystemColours kStock{{255, 255, 255}, {0, 0, 0},       {255, 255, 225}, {0, 0, 0},
                               {0, 120, 215},   {255, 255, 255}, {0, 0, 0}};

struct Text {
    const char* name;
    Ink Palette::*ink;
};
constexpr Text kTexts[] = {
    {"instruction", &Palette::instruction},       {"report", &Palette::report},
    {"overLimit", &Palette::overLimit},           {"popup", &Palette::popup},
    {"popupOverLimit", &Palette::popupOverLimit}, {"popupSeconds", &Palette::popupSeconds},
    {"popupClose", &Palette::popupClose},         {"help", &Palette::help},
    {"helpClose", &Palette::helpClose},           {"notice", &Palette::notice},
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
    EXPECT_DOUBLE_EQ(RelativeLuminance({255, 255, 255}), 1.0);
    EXPECT_DOUBLE_EQ(RelativeLuminance({0, 0, 0}), 0.0);
}

TEST(Theme, HighContrastWinsOverTheAppsTheme) {
    EXPECT_EQ(SchemeFor(false, true), Scheme::Light);
    EXPECT_EQ(SchemeFor(false, false), Scheme::Dark);
    EXPECT_EQ(SchemeFor(true, true), Scheme::HighContrast);
    EXPECT_EQ(SchemeFor(true, false), Scheme::HighContrast);
}

// Every text of the dark look reads at 4.5:1 or more, whatever the system colours are; the
// over-limit red stays a red.
TEST(Theme, EveryDarkTextHasAtLeastFourAndAHalfToOne) {
    const Palette dark = PaletteFor(Scheme::Dark, kStock);
    EXPECT_EQ(dark, PaletteFor(Scheme::Dark, kSystem));
    // The ratios as the report gives them; each also at least 4.5.
    const std::vector<double> expected = {6.08, 14.30, 6.49, 12.42, 5.64,
                                          6.17, 9.98,  8.96, 10.11, 7.45};
    for (size_t i = 0; i < std::size(kTexts); ++i) {
        const Ink& ink = dark.*kTexts[i].ink;
        const double ratio = ContrastRatio(ink.text, ink.back);
        EXPECT_NEAR(ratio, expected[i], 0.005) << kTexts[i].name;
        EXPECT_GE(ratio, 4.5) << kTexts[i].name;
        EXPECT_LT(RelativeLuminance(ink.back), 0.05) << kTexts[i].name << ": not a dark ground";
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
    const Palette hc = PaletteFor(Scheme::HighContrast, kSystem);
    const Ink window{kSystem.windowText, kSystem.window};
    const Ink info{kSystem.infoText, kSystem.info};
    const Ink highlight{kSystem.highlightText, kSystem.highlight};
    const std::vector<Ink> expected = {window, window, highlight, info, highlight,
                                       info,   info,   info,      info, window};
    for (size_t i = 0; i < std::size(kTexts); ++i) {
        EXPECT_EQ(hc.*kTexts[i].ink, expected[i]) << kTexts[i].name;
    }
    EXPECT_FALSE(hc.flatButtons) << "the system's edges are system colours";
}

}  // namespace
}  // namespace quillet::display
