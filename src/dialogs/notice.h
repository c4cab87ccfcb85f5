// frmSplash: the notice that announces going into the tray and ending, then shrinks away.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "app/app_state.h"

namespace quillet::dialogs {

class NoticeWindow;

class Notice {
public:
    Notice(app::AppState& app, HINSTANCE instance);
    ~Notice();
    Notice(const Notice&) = delete;
    Notice& operator=(const Notice&) = delete;

    // ShowNotice: nothing at all when CustomMsg is 0. `modal` 1 returns once the notice has
    // closed (messages are dispatched meanwhile); 0 returns at once.
    void Show(std::u16string_view message, int32_t displayMs, int32_t modal);

    // Whether a notice is still on the screen: the process ends only after it has gone.
    bool IsOpen() const;

private:
    app::AppState& app_;
    HINSTANCE instance_;
    std::unique_ptr<NoticeWindow> window_;
};

}  // namespace quillet::dialogs
