// frmHelp: the small pale-green note that explains the report's abbreviations.
#pragma once

#include <windows.h>

#include <memory>

#include "app/app_state.h"

namespace quillet::dialogs {

class HelpNoteWindow;

class HelpNote {
public:
    HelpNote(app::AppState& app, HINSTANCE instance);
    ~HelpNote();
    HelpNote(const HelpNote&) = delete;
    HelpNote& operator=(const HelpNote&) = delete;

    // ShowHelp: true opens the note at the pointer unless it is already visible; false closes
    // it, whether or not it is open.
    void Show(bool show);

    HWND Hwnd() const;

private:
    app::AppState& app_;
    HINSTANCE instance_;
    std::unique_ptr<HelpNoteWindow> window_;
};

}  // namespace quillet::dialogs
