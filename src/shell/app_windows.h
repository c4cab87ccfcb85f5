// The program's secondary windows, one shared instance each, owned for the whole run.
#pragma once

#include <windows.h>

#include "dialogs/help_note.h"
#include "dialogs/notice.h"
#include "dialogs/setting_dialog.h"
#include "popup/popup.h"
#include "shell/app_state.h"

namespace quillet::shell {

struct AppWindows {
    AppWindows(AppState& app, HINSTANCE instance)
        : help(app, instance),
          popup(app, instance, help),
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
