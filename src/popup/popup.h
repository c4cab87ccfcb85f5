// frmPopup: the balloon that shows a report in tray mode, its count-down and its presentation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "counting/report.h"

namespace quillet::popup {

class PopupWindow;

// The one shared popup: created on first use, destroyed when it closes.
class Popup {
public:
    // `showHelp` opens (true) or closes (false) the help note that explains the report.
    Popup(app::AppState& app, HINSTANCE instance, std::function<void(bool)> showHelp);
    ~Popup();
    Popup(const Popup&) = delete;
    Popup& operator=(const Popup&) = delete;

    // Tray mode's delivery of one report: lays the popup out at the anchor that DispPos names
    // (one line taller with the report's fourth line), its text in red when 字数 is over the
    // limit, hands the tray tip text ("- " + title + " -" CR LF + report, after 「超過 」 when
    // over) to `setTag`, which stores it as the main window's Tag and updates the icon's tip,
    // and shows the popup while the application the user copied from keeps the foreground.
    void Present(const Report& report, const std::function<void(const std::wstring& tag)>& setTag);

    // Closes (unloads) the popup if it is open.
    void Close();

    HWND Hwnd() const;

private:
    app::AppState& app_;
    HINSTANCE instance_;
    std::function<void(bool)> showHelp_;
    std::unique_ptr<PopupWindow> window_;
};

}  // namespace quillet::popup
