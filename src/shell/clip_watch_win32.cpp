#include "shell/clip_watch.h"

#include <commctrl.h>

#include <new>
#include <stdexcept>
#include <utility>

#include "platform/clipboard.h"
#include "shell/clip_rules.h"

namespace quillet::shell {

namespace {
constexpr UINT_PTR kSubclassId = 1;
// How long a next viewer may take over one notification. One that the system already knows to
// be hung is skipped at once; either way the program goes on.
constexpr UINT kPassOnTimeoutMs = 2000;
// A clipboard that another program holds open is looked at again a few times, without blocking
// the window meanwhile, before that change is given up.
constexpr UINT kRetryMs = 250;
constexpr int kRetries = 8;

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
    retriesLeft_ = kRetries;
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
    if (subclassed_) {
        RemoveWindowSubclass(hwnd, &ClipWatch::ClipWndProc, kSubclassId);
        subclassed_ = false;
    }
    if (!joined_) return;
    joined_ = false;
    ChangeClipboardChain(hwnd, nextViewer_);
}

void ClipWatch::PassOn(UINT msg, WPARAM wp, LPARAM lp) {
    ++passingOn_;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(nextViewer_, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, kPassOnTimeoutMs,
                        &ignored);
    --passingOn_;
}

void ClipWatch::Examine(HWND hwnd) {
    const DWORD sequence = GetClipboardSequenceNumber();
    // 0 means the system does not tell: then every notification is looked at, and the
    // last-text rule alone keeps a change from being counted twice.
    if (sequence != 0 && sequence == examinedSequence_) return;
    if (sequence != retrySequence_) {
        retrySequence_ = sequence;
        retriesLeft_ = kRetries;
    }
    if (!ShouldExamineChange(Id(GetForegroundWindow()), Id(app_.wnd.MainHwnd),
                             Id(app_.wnd.PopupHwnd)) ||
        !clip::HasText()) {
        examinedSequence_ = sequence;
        return;
    }
    clip::WatchedText read = clip::ReadWatchedText(hwnd);
    if (read.status == clip::ClipStatus::Busy && retriesLeft_ > 0) {
        RetryLater(hwnd);
        return;
    }
    examinedSequence_ = sequence;
    // A busy clipboard given up, a secret copy, a text too large to hold: nothing to count, and
    // the last counted text stays.
    if (read.status != clip::ClipStatus::Text || !IsNewText(read.text, app_.wnd.LastText)) return;
    CountNew(std::move(read.text));
}

void ClipWatch::CountNew(std::u16string text) {
    std::u16string previous = std::exchange(app_.wnd.LastText, std::move(text));
    try {
        showCount_(app_.wnd.LastText);
    } catch (const std::bad_alloc&) {
        // Not counted after all: the same text copied again must count.
        app_.wnd.LastText = std::move(previous);
    } catch (const std::length_error&) {
        app_.wnd.LastText = std::move(previous);
    }
}

void ClipWatch::RetryLater(HWND hwnd) {
    --retriesLeft_;
    SetTimer(hwnd, kRetryTimerId, kRetryMs, nullptr);
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
            self->Examine(hwnd);
            // The next viewer hears of the change only after the count has been shown.
            if (self->nextViewer_) self->PassOn(msg, wp, lp);
            break;
        case WM_CLIPBOARDUPDATE:
            self->Examine(hwnd);
            self->MendChain(hwnd);
            break;
        case WM_TIMER:
            if (wp != kRetryTimerId) break;
            KillTimer(hwnd, kRetryTimerId);
            self->Examine(hwnd);
            return 0;
        case WM_CHANGECBCHAIN: {
            const ChainChange change =
                OnChainChange(Id(self->nextViewer_), Id(reinterpret_cast<HWND>(wp)),
                              Id(reinterpret_cast<HWND>(lp)));
            if (change.Forward) self->PassOn(msg, wp, lp);
            self->nextViewer_ = Hwnd(change.NextViewer);
            break;
        }
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace quillet::shell
