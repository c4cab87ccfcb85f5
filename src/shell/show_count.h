// The copy-event handler: counts a new clipboard text and delivers the report. `unicodeText` is
// the copy's Unicode text, for the figures of the fourth line (empty when none is on). False when
// the clipboard has no text by now: then the text was not shown and is not remembered.
#pragma once

#include <string>

#include "app/app_state.h"

namespace quillet::shell {

class MainWindow;

bool ShowCount(app::AppState& app, MainWindow& main, const std::u16string& text,
               const std::u16string& unicodeText);

}  // namespace quillet::shell
