// The help note's rules, apart from its window: its text, where it opens beside the pointer and
// how its label and close button fill it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "display/placement.h"

namespace quillet::dialogs {

// Design pixels (96 dpi); the note scales them to the DPI of the monitor it opens on.
inline constexpr int32_t kHelpClientWidth = 315;
inline constexpr int32_t kHelpClientHeight = 150;
inline constexpr int32_t kHelpLabelLeft = 4;
inline constexpr int32_t kHelpLabelTop = 4;
inline constexpr int32_t kHelpLabelRightMargin = 2;
inline constexpr int32_t kHelpLabelBottomMargin = 2;
inline constexpr int32_t kHelpCloseWidth = 23;
inline constexpr int32_t kHelpCloseHeight = 19;
inline constexpr int32_t kHelpCloseInset = 3;  // from the label's bottom-right corner

// Shown in the search line's label while no search string is set: the report then has no search
// entry, and the line explains the entry that would appear.
inline constexpr std::u16string_view kSearchPlaceholder = u"xxxx";

// The eleven lines joined by CR LF, no CR LF after the last. Every label with its ideographic
// space fills six half-width columns, so the colons line up in the fixed-pitch font; a search
// string narrower than the placeholder is padded to its width with half-width spaces, a wider
// one is shown whole. After the search line, one line for each figure of the fourth report line
// that is on (`customItemEx` as the report reads it) and one for the limit when it is set: the
// note explains what the report shows, and nothing the user never sees.
std::u16string HelpText(std::u16string_view searchString, std::u16string_view customItemEx = u"",
                        int32_t charLimit = 0);

struct HelpPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const HelpPoint&, const HelpPoint&) = default;
};

// The window's top-left corner for a pointer at `pointer`: its bottom-right corner at the
// pointer when the window fits between the pointer and the left and top edges of `work` (the
// work area of the monitor under the pointer; strictly smaller), otherwise to the right of or
// below it; then moved inside the work area where it would still cross its edge.
HelpPoint HelpPlacement(HelpPoint pointer, int32_t width, int32_t height,
                        const display::ScreenRect& work);

// The note's client size at `dpi` for a help text `textHeight` pixels high in the label's font:
// the design size, or taller when the font's lines are taller than the design assumed, so that
// the last line is never cut off.
int32_t HelpClientWidth(int dpi);
int32_t HelpClientHeight(int32_t textHeight, int dpi);

struct HelpLayout {
    int32_t labelLeft = 0;
    int32_t labelTop = 0;
    int32_t labelWidth = 0;
    int32_t labelHeight = 0;
    int32_t closeLeft = 0;
    int32_t closeTop = 0;
    friend bool operator==(const HelpLayout&, const HelpLayout&) = default;
};

// The label fills the client area but for its margins; the "×" sits inside the label's
// bottom-right corner. All at `dpi`.
struct HelpButtonSize {
    int32_t width = 0;
    int32_t height = 0;
};
HelpButtonSize HelpCloseSize(int dpi);
HelpLayout LayoutHelp(int32_t clientWidth, int32_t clientHeight, int dpi);

}  // namespace quillet::dialogs
