// The program's secondary windows, one shared instance each, owned for the whole run.
#pragma once

#include <windows.h>

#include "app/app_state.h"
#include "dialogs/help_note.h"
#include "dialogs/notice.h"
#include "dialogs/setting_dialog.h"
#include "popup/popup.h"

namespace quillet::shell {

struct AppWindows {
    AppWindows(app::AppState& app, HINSTANCE instance)
        : help(app, instance),
          popup(app, instance, [this](bool show) { help.Show(show); }),
          notice(app, instance),
          setting(app, instance, [this] {
              popup.Close();
              help.Show(false);
          }) {}

    dialogs::HelpNote help;
    popup::Popup popup;
    dialogs::Notice notice;
    dialogs::SettingDialog setting;
};

}  // namespace quillet::shell
