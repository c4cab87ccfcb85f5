// The main window's place in the clipboard-viewer chain and its replaced message procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "shell/app_state.h"

namespace quillet::shell {

class ClipWatch {
public:
    // `showCount` is called with the new text, already stored as the last counted text.
    ClipWatch(AppState& app, std::function<void(const std::u16string&)> showCount)
        : app_(app), showCount_(std::move(showCount)) {}
    ~ClipWatch() = default;
    ClipWatch(const ClipWatch&) = delete;
    ClipWatch& operator=(const ClipWatch&) = delete;

    // Joins the chain first, then subclasses: the platform notifies a new viewer at once, and
    // that notification must reach the old procedure, so the text present now is not counted.
    // Does nothing while the watch runs: joining twice would make the window its own successor.
    void Start(HWND hwnd);

    // Removes the subclass and leaves the chain; does nothing when the watch is not running.
    void Stop(HWND hwnd);

    HWND NextViewer() const { return nextViewer_; }

    // True while a notification is being passed on to the next viewer. Messages sent to the
    // window meanwhile run inside that wait, so the window must not be destroyed then.
    bool PassingOn() const { return passingOn_ > 0; }

private:
    static LRESULT CALLBACK ClipWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR ref);
    void OnDrawClipboard(HWND hwnd);
    void PassOn(UINT msg, WPARAM wp, LPARAM lp);

    AppState& app_;
    std::function<void(const std::u16string&)> showCount_;
    HWND nextViewer_ = nullptr;  // kept when the watch stops, as the chain last told us
    bool joined_ = false;
    bool subclassed_ = false;
    int passingOn_ = 0;
};

}  // namespace quillet::shell
