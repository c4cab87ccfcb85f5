// The copy-event handler: counts a new clipboard text and delivers the report.
#pragma once

#include <string>

#include "app/app_state.h"

namespace quillet::shell {

class MainWindow;

void ShowCount(app::AppState& app, MainWindow& main, const std::u16string& text);

}  // namespace quillet::shell
