// The main window's place in the clipboard-viewer chain and its replaced message procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace quillet::clip {

// Two ears on the clipboard. The viewer chain keeps its order (the next viewer hears of a change
// only after the count is shown), but any program in it can break it for those behind: a viewer
// that joined later and died without leaving takes every notification with it. The system's
// format listener cannot be broken by other programs, so each change is looked at on whichever
// notification comes first, once per clipboard sequence number.
//
// One change is handled at a time. Showing a count waits on other processes (the tray tip, a
// delayed render), and a notification sent meanwhile would otherwise run inside that wait, one
// level deeper for every copy of a fast burst; it is noted instead and looked at, and passed on,
// once the change in hand has been shown.
class ClipWatch {
public:
    // `showCount` counts a new text and shows the report, and says whether it did; the text
    // becomes the last counted text only then. It gets the copy's text as a Japanese
    // copy's CF_TEXT holds it and, when `wantsUnicode` says so at the time of the copy, its
    // Unicode text (else an empty one); whether a text is new is judged by the first alone.
    // `isOwnCopy` tells the program's own copies by their clipboard owner (by default: a window of
    // this process); they are not counted.
    using ShowCount =
        std::function<bool(const std::u16string& text, const std::u16string& unicode)>;
    using OwnerTest = std::function<bool(HWND owner)>;
    explicit ClipWatch(ShowCount showCount, OwnerTest isOwnCopy = {},
                       std::function<bool()> wantsUnicode = {})
        : showCount_(std::move(showCount)),
          isOwnCopy_(std::move(isOwnCopy)),
          wantsUnicode_(std::move(wantsUnicode)) {}
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

    // The clipboard text counted last; it survives stops, so a text counted before the settings
    // dialog opened is not counted again after it closes.
    const std::u16string& LastText() const { return lastText_; }

    // True while a clipboard change is being handled (read, counted, shown or passed on).
    // Messages sent to the window meanwhile run inside that handling, so the window must not be
    // destroyed, nor the watch stopped, before it has returned.
    bool Busy() const { return depth_ > 0; }

    // The timer the watch uses on the watched window to look again at a held clipboard.
    static constexpr UINT_PTR kRetryTimerId = 0x7122;

private:
    static LRESULT CALLBACK ClipWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR ref);
    // A change reported by the chain (`fromChain`: pass it on afterwards), by the listener or
    // by the retry timer.
    void OnChange(HWND hwnd, bool fromChain);
    // Looks at the clipboard unless this change has been looked at already, or waits for the
    // retry timer's look.
    void Examine(HWND hwnd);
    bool OwnCopy(HWND owner) const;
    void CountNew(std::u16string text, std::u16string unicode);
    // The change in hand is read, judged or given up: no more looks at it.
    void Settle(HWND hwnd, DWORD sequence);
    // A listener notification: when the chain's head has gone, take its place again.
    void MendChain(HWND hwnd);
    void PassOn(UINT msg, WPARAM wp, LPARAM lp);

    ShowCount showCount_;
    OwnerTest isOwnCopy_;
    std::function<bool()> wantsUnicode_;
    std::u16string lastText_;
    std::u16string lastUnicode_;  // the last count's Unicode text, when it was read
    HWND nextViewer_ = nullptr;   // kept when the watch stops, as the chain last told us
    bool joined_ = false;
    bool subclassed_ = false;
    bool listening_ = false;
    int depth_ = 0;               // nesting of clipboard handling on the stack
    bool changeWaiting_ = false;  // a change arrived while one was being handled
    bool passOnWaiting_ = false;  // ... and it came through the chain
    DWORD examinedSequence_ = 0;  // the clipboard change looked at last
    // The change that found the clipboard held, while the retry timer waits to look again. Whose
    // copy it is was judged at its first look and stays so, whatever is clicked meanwhile.
    struct Waiting {
        DWORD sequence = 0;
        bool own = false;
        int tries = 0;
        ULONGLONG since = 0;  // tick of its first look
        bool timerSet = false;
    };
    std::optional<Waiting> waiting_;
};

}  // namespace quillet::clip
