// What one copy produces: the report and where it goes. Portable; the Win32 side delivers it.
#pragma once

#include <cstdint>
#include <string_view>

#include "counting/count.h"
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

// Counts the text with the search settings and composes the report with the chosen items.
inline Report ComposeReport(std::u16string_view text, const Settings& settings) {
    CountResult result;
    result.SearchStr = settings.SearchString;
    CountText(text, result, settings.SearchFuzzy);
    return BuildReport(result, Derive(result), settings.CustomItem);
}

}  // namespace quillet::shell
