#include "clipboard/clip_watch.h"

#include <commctrl.h>

#include <new>
#include <stdexcept>
#include <utility>

#include "clipboard/clip_rules.h"
#include "clipboard/clipboard.h"

namespace quillet::clip {

namespace {
constexpr UINT_PTR kSubclassId = 1;
// How long a next viewer may take over one notification. One that the system already knows to
// be hung is skipped at once; either way the program goes on.
constexpr UINT kPassOnTimeoutMs = 2000;
WindowId Id(HWND hwnd) {
    return reinterpret_cast<WindowId>(hwnd);
}
HWND Hwnd(WindowId id) {
    return reinterpret_cast<HWND>(id);
}
}  // namespace

void ClipWatch::Start(HWND hwnd) {
    if (joined_) return;
    // The text on the clipboard now, or copied while the watch was off, is not counted.
    examinedSequence_ = GetClipboardSequenceNumber();
    waiting_.reset();
    nextViewer_ = SetClipboardViewer(hwnd);
    joined_ = true;
    if (!subclassed_) {
        subclassed_ = SetWindowSubclass(hwnd, &ClipWatch::ClipWndProc, kSubclassId,
                                        reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    }
    if (!listening_) listening_ = AddClipboardFormatListener(hwnd) != FALSE;
}

void ClipWatch::Stop(HWND hwnd) {
    if (listening_) {
        RemoveClipboardFormatListener(hwnd);
        listening_ = false;
    }
    KillTimer(hwnd, kRetryTimerId);
    waiting_.reset();
    if (subclassed_) {
        RemoveWindowSubclass(hwnd, &ClipWatch::ClipWndProc, kSubclassId);
        subclassed_ = false;
    }
    if (!joined_) return;
    joined_ = false;
    ChangeClipboardChain(hwnd, nextViewer_);
}

void ClipWatch::PassOn(UINT msg, WPARAM wp, LPARAM lp) {
    ++depth_;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(nextViewer_, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, kPassOnTimeoutMs,
                        &ignored);
    --depth_;
}

void ClipWatch::OnChange(HWND hwnd, bool fromChain) {
    if (depth_ > 0) {
        changeWaiting_ = true;
        passOnWaiting_ = passOnWaiting_ || fromChain;
        return;
    }
    ++depth_;
    bool passOn = fromChain;
    for (;;) {
        changeWaiting_ = passOnWaiting_ = false;
        Examine(hwnd);
        // The next viewer hears of the change only after the count has been shown.
        if (passOn && joined_ && nextViewer_) PassOn(WM_DRAWCLIPBOARD, 0, 0);
        if (!changeWaiting_ || !joined_) break;
        passOn = passOnWaiting_;
    }
    --depth_;
}

void ClipWatch::Examine(HWND hwnd) {
    const DWORD sequence = GetClipboardSequenceNumber();
    // 0 means the system does not tell: then every notification is looked at, and the
    // last-text rule alone keeps a change from being counted twice.
    if (sequence != 0 && sequence == examinedSequence_) return;
    if (!waiting_ || waiting_->sequence != sequence || sequence == 0) {
        // A new change, which replaces one that waited: whose copy it is is judged now, once.
        KillTimer(hwnd, kRetryTimerId);
        waiting_ = Waiting{sequence, OwnCopy(GetClipboardOwner()), 0, GetTickCount64(), false};
    } else if (waiting_->timerSet) {
        return;  // a second notification of a held change: the timer looks again
    }
    if (waiting_->own || !HasText()) {
        Settle(hwnd, sequence);
        return;
    }
    const bool wantsUnicode = wantsUnicode_ && wantsUnicode_();
    WatchedText read = ReadWatchedText(hwnd, wantsUnicode);
    if (read.status == ClipStatus::Busy) {
        if (const auto delay = RetryDelay(waiting_->tries++, GetTickCount64() - waiting_->since)) {
            waiting_->timerSet = SetTimer(hwnd, kRetryTimerId, *delay, nullptr) != 0;
            if (waiting_->timerSet) return;
        }
    }
    Settle(hwnd, sequence);
    // A held clipboard given up, a secret copy, a text too large to hold: nothing to count,
    // and the last counted text stays.
    if (read.status != ClipStatus::Text ||
        !IsNewCopy(read.text, lastText_, wantsUnicode, read.unicodeText, lastUnicode_)) {
        return;
    }
    CountNew(std::move(read.text), std::move(read.unicodeText));
}

bool ClipWatch::OwnCopy(HWND owner) const {
    if (isOwnCopy_) return isOwnCopy_(owner);
    DWORD ownerProcess = 0;
    if (owner) GetWindowThreadProcessId(owner, &ownerProcess);
    return IsOwnCopy(ownerProcess, GetCurrentProcessId());
}

void ClipWatch::Settle(HWND hwnd, DWORD sequence) {
    KillTimer(hwnd, kRetryTimerId);
    waiting_.reset();
    examinedSequence_ = sequence;
}

void ClipWatch::CountNew(std::u16string text, std::u16string unicode) {
    // Remembered only once its report is out: a count that failed, or found nothing to show,
    // must count when the same text is copied again.
    try {
        if (!showCount_(text, unicode)) return;
    } catch (const std::bad_alloc&) {
        return;
    } catch (const std::length_error&) {
        return;
    }
    lastText_ = std::move(text);
    lastUnicode_ = std::move(unicode);
}

void ClipWatch::MendChain(HWND hwnd) {
    // The head of the chain is gone without leaving: a viewer that joined after us and died.
    // Taking its place again restores the notifications for us and for every viewer behind
    // us, and the system's notification of the new head tells them of the change they missed.
    // (Windows forgets a destroyed head; a system that kept its handle is covered as well.)
    if (!joined_ || IsWindow(GetClipboardViewer())) return;
    if (HWND previous = SetClipboardViewer(hwnd)) nextViewer_ = previous;
}

LRESULT CALLBACK ClipWatch::ClipWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                        DWORD_PTR ref) {
    auto* self = reinterpret_cast<ClipWatch*>(ref);
    switch (msg) {
        case WM_DRAWCLIPBOARD:
            self->OnChange(hwnd, true);
            break;
        case WM_CLIPBOARDUPDATE:
            self->OnChange(hwnd, false);
            self->MendChain(hwnd);
            break;
        case WM_TIMER:
            if (wp != kRetryTimerId) break;
            KillTimer(hwnd, kRetryTimerId);
            if (self->waiting_) self->waiting_->timerSet = false;
            self->OnChange(hwnd, false);
            return 0;
        case WM_CHANGECBCHAIN: {
            const ChainChange change =
                OnChainChange(Id(self->nextViewer_), Id(reinterpret_cast<HWND>(wp)),
                              Id(reinterpret_cast<HWND>(lp)));
            // Kept before the notice goes on: a viewer behind us may leave while it handles the
            // notice, and the change it then tells us of must not be overwritten afterwards.
            self->nextViewer_ = Hwnd(change.NextViewer);
            if (change.Forward) self->PassOn(msg, wp, lp);
            // A copy made while the notice went down the chain waited for it.
            if (self->depth_ == 0 && self->changeWaiting_)
                self->OnChange(hwnd, self->passOnWaiting_);
            break;
        }
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace quillet::clip
