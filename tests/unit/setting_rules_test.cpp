// The settings dialog's rules: what the controls show, what applying gives back, the layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "dialogs/setting_rules.h"

namespace quillet::dialogs {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr auto None = app::TrayResult::None;
constexpr auto Tray = app::TrayResult::Tray;
constexpr auto End = app::TrayResult::End;

// The controls exactly as loading fills them from `s`.
ControlValues AsLoaded(const Settings& s) {
    return {TaskTrayTicked(s.TaskTray),
            s.SearchString,
            FlagTicked(s.SearchFuzzy),
            CustomItemTicks(s.CustomItem),
            FlagTicked(s.CustomMsg),
            FormatSeconds(s.TimeAutoClose),
            s.DispPos,
            CustomItemExTicks(s.CustomItemEx),
            FormatCharLimit(s.CharLimit)};
}

TEST(SettingRules, SecondsAreRightAlignedInTwoCharacters) {
    const struct {
        int32_t seconds;
        std::u16string text;
    } cases[] = {{5, u" 5"},  {0, u" 0"},    {10, u"10"},           {100, u"100"},
                 {-5, u"-5"}, {-15, u"-15"}, {kMax, u"2147483647"}, {kMin, u"-2147483648"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatSeconds(c.seconds), c.text) << c.seconds;
        // Whatever loading shows, reading it back gives the same number.
        EXPECT_EQ(ReadSeconds(FormatSeconds(c.seconds), 7), c.seconds) << c.seconds;
    }
    for (std::u16string_view item : kSecondsItems) {
        EXPECT_EQ(FormatSeconds(ReadSeconds(item, 0)), item);
    }
}

TEST(SettingRules, SecondsAreReadLikeValAndRoundedHalfToEven) {
    // 9 is the value before: kept when the number does not fit in 32 bits.
    const struct {
        std::u16string text;
        int32_t seconds;
    } cases[] = {
        {u"1 5", 15},  {u"\t-\n3", -3}, {u"12abc", 12},     {u"abc", 0},   {u"", 0},
        {u"-.", 0},    {u"1e2", 100},   {u"1D2", 100},      {u"1e+x", 1},  {u"--7", 0},
        {u"3.4.5", 3}, {u"7\r8", 7},    {u"１２", 0},       {u"2.5", 2},   {u"3.5", 4},
        {u"-2.5", -2}, {u"1e-999", 0},  {u"2147483648", 9}, {u"1e999", 9}, {u"-2147483648", kMin},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadSeconds(c.text, 9), c.seconds) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(SettingRules, CustomItemTicksFollowTheOnesOnly) {
    const struct {
        std::u16string item;
        ItemTicks ticks;
    } cases[] = {
        {u"1111111", {1, 1, 1, 1, 1, 1, 1}},
        {u"1010101", {1, 0, 1, 0, 1, 0, 1}},
        {u"0000000", {}},
        {u"101", {1, 0, 1, 0, 0, 0, 0}},
        {u"", {}},
        {u"11111110", {1, 1, 1, 1, 1, 1, 1}},
        {u"2x1 1１1", {0, 0, 1, 0, 1, 0, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CustomItemTicks(c.item), c.ticks) << std::string(c.item.begin(), c.item.end());
    }
}

TEST(SettingRules, ApplyingUntouchedControlsChangesNoSetting) {
    Settings odd;
    odd.FormLeft = 123;
    odd.TaskTray = 2;
    odd.SearchFuzzy = -1;
    odd.CustomMsg = 7;
    odd.CustomItem = u"10x";
    odd.TimeAutoClose = 100;
    odd.DispPos = u"真ん中";
    odd.SearchString = u" a=b ";
    Settings usual;
    usual.CustomItem = u"1010101";
    usual.TaskTray = 1;
    usual.SearchFuzzy = 1;
    Settings extreme;
    extreme.TimeAutoClose = kMin;
    extreme.CustomItem = u"111111111111";
    Settings figures;  // a limit of more digits than the field takes
    figures.CustomItemEx = u"101";
    figures.CharLimit = kMax;
    for (const Settings& loaded : {Settings{}, odd, usual, extreme, figures}) {
        Settings settings = loaded;
        Apply(AsLoaded(loaded), loaded, CloseButton::Resume, settings);
        EXPECT_EQ(settings, loaded);
    }
}

TEST(SettingRules, ATouchedControlGivesItsOwnValue) {
    Settings loaded;
    loaded.TaskTray = 2;
    loaded.SearchFuzzy = 5;
    loaded.CustomMsg = -1;
    loaded.CustomItem = u"10";
    loaded.TimeAutoClose = 100;
    loaded.DispPos = u"どこか";

    ControlValues shown = AsLoaded(loaded);
    shown.TaskTray = true;
    shown.SearchFuzzy = false;
    shown.CustomMsg = false;
    shown.Items[6] = true;
    shown.TimeAutoClose = u"15";
    shown.DispPos = u"左上隅";
    shown.SearchString = u"";
    Settings settings = loaded;
    Apply(shown, loaded, CloseButton::Resume, settings);
    EXPECT_EQ(settings.TaskTray, 1);
    EXPECT_EQ(settings.SearchFuzzy, 0);
    EXPECT_EQ(settings.CustomMsg, 0);
    EXPECT_EQ(settings.CustomItem, u"1000001") << "a changed list writes all seven characters";
    EXPECT_EQ(settings.TimeAutoClose, 15);
    EXPECT_EQ(settings.DispPos, u"左上隅");
    EXPECT_EQ(settings.SearchString, u"");

    // Unticking every item gives seven zeros.
    shown.Items = {};
    Apply(shown, Settings{}, CloseButton::Resume, settings);
    EXPECT_EQ(settings.CustomItem, u"0000000");
}

TEST(SettingRules, FigureRowsAndTheLimitFieldGiveTheirOwnValuesWhenTouched) {
    Settings loaded;
    loaded.CustomItemEx = u"010";
    loaded.CharLimit = 400;
    ControlValues shown = AsLoaded(loaded);
    shown.Figures = {true, true, false};
    Settings settings = loaded;
    Apply(shown, loaded, CloseButton::Resume, settings);
    EXPECT_EQ(settings.CustomItemEx, u"110");
    EXPECT_EQ(settings.CustomItem, loaded.CustomItem);
    // The field read back: empty is no limit; what is not a 32-bit number keeps 400.
    const struct {
        std::u16string text;
        int32_t limit;
    } cases[] = {{u"", 0},     {u" 0140 ", 140}, {u"12a", 400},
                 {u"-5", 400}, {u"１２０", 400}, {u"2147483648", 400}};
    for (const auto& c : cases) {
        shown.CharLimit = c.text;
        Apply(shown, loaded, CloseButton::Resume, settings);
        EXPECT_EQ(settings.CharLimit, c.limit) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(SettingRules, TheResultDependsOnTheButtonAndTheTrayBox) {
    const struct {
        int32_t taskTray;
        bool ticked;
        CloseButton button;
        app::TrayResult result;
        int32_t taskTrayAfter;
    } cases[] = {
        {0, false, CloseButton::Resume, None, 0},
        {0, true, CloseButton::Resume, Tray, 1},
        {1, true, CloseButton::Resume, Tray, 1},
        {1, false, CloseButton::Resume, None, 0},
        {1, true, CloseButton::End, End, 1},
        {0, false, CloseButton::End, End, 0},
        // An odd value left alone stays window mode: only 1 is the tray.
        {2, false, CloseButton::Resume, None, 2},
        {2, true, CloseButton::Resume, Tray, 1},
    };
    for (const auto& c : cases) {
        Settings loaded;
        loaded.TaskTray = c.taskTray;
        ControlValues shown = AsLoaded(loaded);
        shown.TaskTray = c.ticked;
        Settings settings = loaded;
        EXPECT_EQ(Apply(shown, loaded, c.button, settings), c.result) << c.taskTray;
        EXPECT_EQ(settings.TaskTray, c.taskTrayAfter) << c.taskTray;
    }
}

TEST(SettingRules, LayoutOffersEndOnlyAfterAReturnToTheTray) {
    const struct {
        bool ticked;
        app::TrayResult trayResult;
        DialogLayout layout;
    } cases[] = {
        {false, None, {4440, false, false}}, {false, Tray, {4440, false, false}},
        {true, None, {5700, false, true}},   {true, Tray, {5700, true, true}},
        {true, End, {5700, false, true}},
    };
    for (const auto& c : cases) {
        const DialogLayout layout = LayoutFor(c.ticked, c.trayResult);
        EXPECT_EQ(layout.OuterHeight, c.layout.OuterHeight);
        EXPECT_EQ(layout.EndVisible, c.layout.EndVisible);
        EXPECT_EQ(layout.PopupFrameVisible, c.layout.PopupFrameVisible);
    }
}

TEST(SettingRules, ButtonRowEndsFifteenDesignPixelsAboveTheClientBottom) {
    // 355 pixels of client area at 96 dpi: the row spans pixels 320 to 340.
    EXPECT_EQ(CloseRowTop(355 * 15), 320 * 15);
    // The gap is 15 pixels of the design, 225 twips, at every DPI (about 19 pixels at 120).
    EXPECT_EQ(CloseRowTop(4800), 4275);
}

}  // namespace
}  // namespace quillet::dialogs
