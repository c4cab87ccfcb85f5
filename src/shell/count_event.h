// What one copy produces: the report and where it goes. Portable; the Win32 side delivers it.
#pragma once

#include <cstdint>
#include <string_view>

#include "counting/count.h"
#include "counting/figures.h"
#include "counting/report.h"
#include "settings/settings.h"

namespace quillet::shell {

enum class Delivery {
    None,    // no text: nothing is shown or changed
    Popup,   // tray mode: the count popup
    Window,  // window mode: the main window's text box
};

// Only the exact value 1 of the tray setting selects the popup.
constexpr Delivery DeliveryFor(bool clipboardHasText, std::u16string_view text, int32_t taskTray) {
    if (!clipboardHasText || text.empty()) return Delivery::None;
    return taskTray == 1 ? Delivery::Popup : Delivery::Window;
}

// Whether a copy's Unicode text is needed: only for a figure of the fourth line that is on (the
// limit compares 字数, which comes from the Shift-JIS text).
inline bool WantsUnicodeText(const Settings& settings) {
    const UnicodeFigures asked = ComputeFigures(u"", settings.CustomItemEx);
    return asked.ManuscriptPages || asked.Utf8Bytes || asked.XWeighted;
}

// Counts the text with the search settings and composes the report with the chosen items; the
// figures of the fourth line come from `unicodeText`, the copy's Unicode text.
inline Report ComposeReport(std::u16string_view text, std::u16string_view unicodeText,
                            const Settings& settings) {
    CountResult result;
    result.SearchStr = settings.SearchString;
    CountText(text, result, settings.SearchFuzzy);
    return BuildReport(result, Derive(result), settings.CustomItem,
                       ComputeFigures(unicodeText, settings.CustomItemEx), settings.CharLimit);
}

}  // namespace quillet::shell
