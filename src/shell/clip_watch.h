// The main window's place in the clipboard-viewer chain and its replaced message procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "shell/app_state.h"

namespace quillet::shell {

// Two ears on the clipboard. The viewer chain keeps its order (the next viewer hears of a change
// only after the count is shown), but any program in it can break it for those behind: a viewer
// that joined later and died without leaving takes every notification with it. The system's
// format listener cannot be broken by other programs, so each change is looked at on whichever
// notification comes first, once per clipboard sequence number.
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

    // The timer the watch uses on the watched window to look again at a busy clipboard.
    static constexpr UINT_PTR kRetryTimerId = 0x7122;

    // True while a notification is being passed on to the next viewer. Messages sent to the
    // window meanwhile run inside that wait, so the window must not be destroyed then.
    bool PassingOn() const { return passingOn_ > 0; }

private:
    static LRESULT CALLBACK ClipWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR ref);
    // Looks at the clipboard unless this change has been looked at already.
    void Examine(HWND hwnd);
    void CountNew(std::u16string text);
    void RetryLater(HWND hwnd);
    // A listener notification: when the chain's head has gone, take its place again.
    void MendChain(HWND hwnd);
    void PassOn(UINT msg, WPARAM wp, LPARAM lp);

    AppState& app_;
    std::function<void(const std::u16string&)> showCount_;
    HWND nextViewer_ = nullptr;  // kept when the watch stops, as the chain last told us
    bool joined_ = false;
    bool subclassed_ = false;
    bool listening_ = false;
    int passingOn_ = 0;
    DWORD examinedSequence_ = 0;  // the clipboard change looked at last
    // Tries left for the change in retrySequence_: each change has its own, so a burst of busy
    // changes cannot use up those of the last one.
    DWORD retrySequence_ = 0;
    int retriesLeft_ = 0;
};

}  // namespace quillet::shell
