// The settings dialog's rules, apart from the window that carries them out: what the controls
// show on load, what they give back on apply, and how tall the dialog is.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "display/units.h"
#include "settings/settings.h"

namespace quillet::dialogs {

inline constexpr int kItemCount = 7;
using ItemTicks = std::array<bool, kItemCount>;

// The figures of the report's fourth line: three more rows of the list, below the seven items,
// in the order of CustomItemEx's flags.
inline constexpr int kFigureCount = 3;
using FigureTicks = std::array<bool, kFigureCount>;
inline constexpr std::u16string_view kFigureItems[kFigureCount] = {u"原稿用紙", u"UTF-8バイト数",
                                                                   u"X(旧Twitter)"};

// The limit field takes this many digits from the keyboard.
inline constexpr int kCharLimitDigits = 6;

// Outer heights in twips: without and with the popup frame.
inline constexpr int32_t kShortHeight = 4440;
inline constexpr int32_t kTallHeight = 5700;
// The button row: its height in twips and its gap to the client area's bottom in design pixels
// (96 dpi; 15 twips each).
inline constexpr int32_t kCloseRowHeight = 300;
inline constexpr int32_t kCloseRowGapPixels = 15;

// The drop-down lists: one-digit seconds carry a leading space, as "@@" formats them.
inline constexpr std::u16string_view kSecondsItems[] = {
    u" 1", u" 2", u" 3", u" 4", u" 5", u" 6", u" 7", u" 8", u" 9", u"10", u"15", u"20", u"30"};
inline constexpr std::u16string_view kDispPosItems[] = {u"ポインタ", u"左上隅", u"右上隅",
                                                        u"右下隅"};

// How the tick settings are shown: the way the rest of the program reads them. Only exactly 1
// is tray mode; any non-zero value turns the loose search and the notices on.
constexpr bool TaskTrayTicked(int32_t value) {
    return value == 1;
}
constexpr bool FlagTicked(int32_t value) {
    return value != 0;
}

// Item i is ticked when character i is "1"; a missing or other character leaves it clear.
ItemTicks CustomItemTicks(std::u16string_view customItem);
FigureTicks CustomItemExTicks(std::u16string_view customItemEx);

// The limit field: the number in decimal, 0 too (no limit).
std::u16string FormatCharLimit(int32_t limit);
// The limit field read back: empty (or blanks) is 0, no limit; decimal digits are their number;
// anything else, or a number beyond 32 bits, gives `previous`. Digits are all the field takes
// from the keyboard, but a paste can bring other text.
int32_t ReadCharLimit(std::u16string_view text, int32_t previous);

// "@@": right-aligned in two characters, wider numbers in full (5 -> " 5", 100 -> "100").
std::u16string FormatSeconds(int32_t seconds);

// The number at the start of a text, read the way the seconds field is read back: blanks
// (space, tab, line feed) anywhere are skipped, then an optional sign, digits with an optional
// decimal point and an optional exponent (E or D); reading stops at the first other character
// and a text without a leading number is 0.
double LeadingValue(std::u16string_view text);

// The seconds field read back and rounded (halves to even); `previous` when the value does not
// fit in 32 bits.
int32_t ReadSeconds(std::u16string_view text, int32_t previous);

// What the controls hold when a close button is used.
struct ControlValues {
    bool TaskTray = false;
    std::u16string SearchString;
    bool SearchFuzzy = false;
    ItemTicks Items{};
    bool CustomMsg = false;
    std::u16string TimeAutoClose;  // the shown text
    std::u16string DispPos;        // the shown text
    FigureTicks Figures{};
    std::u16string CharLimit;  // the shown text
};

enum class CloseButton { Resume, End };  // "再開" and "終了"

// The apply step: the controls into the settings (the other settings stay as they are), then
// the dialog's result for the settings flow. `loaded` is what the dialog was filled from: a
// control that still shows what it showed then gives the loaded value back unchanged, so odd
// values from a hand-edited Conf.txt (a tick setting of 2, a custom item of another length, a
// limit of more digits than the field takes) survive a visit to the dialog.
app::TrayResult Apply(const ControlValues& shown, const Settings& loaded, CloseButton button,
                      Settings& settings);

struct DialogLayout {
    int32_t OuterHeight = kShortHeight;  // twips
    bool EndVisible = false;             // "終了"
    bool PopupFrameVisible = false;      // frPos
};

// "終了" is offered only while the box is ticked and the last opening went back to the tray.
DialogLayout LayoutFor(bool trayTicked, app::TrayResult trayResult);

// The button row's top in twips: it ends 15 design pixels above the client area's bottom.
constexpr int32_t CloseRowTop(int32_t clientHeight) {
    return clientHeight - kCloseRowHeight - kCloseRowGapPixels * display::kTwipsPerDesignPixel;
}

}  // namespace quillet::dialogs
