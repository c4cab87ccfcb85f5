// The copy-event handler: counts a new clipboard text and delivers the report. `unicodeText` is
// the copy's Unicode text, for the figures of the fourth line (empty when none is on).
#pragma once

#include <string>

#include "app/app_state.h"

namespace quillet::shell {

class MainWindow;

void ShowCount(app::AppState& app, MainWindow& main, const std::u16string& text,
               const std::u16string& unicodeText);

}  // namespace quillet::shell
