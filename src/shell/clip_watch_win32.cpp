#include "shell/clip_watch.h"

#include <commctrl.h>

#include "platform/clipboard.h"
#include "shell/clip_rules.h"

namespace quillet::shell {

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
    nextViewer_ = SetClipboardViewer(hwnd);
    joined_ = true;
    if (!subclassed_) {
        subclassed_ = SetWindowSubclass(hwnd, &ClipWatch::ClipWndProc, kSubclassId,
                                        reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    }
}

void ClipWatch::Stop(HWND hwnd) {
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
    SendMessageTimeoutW(nextViewer_, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kPassOnTimeoutMs, &ignored);
    --passingOn_;
}

void ClipWatch::OnDrawClipboard(HWND hwnd) {
    if (!ShouldExamineChange(Id(GetForegroundWindow()), Id(app_.wnd.MainHwnd),
                             Id(app_.wnd.PopupHwnd))) {
        return;
    }
    if (!clip::HasText()) return;
    std::optional<std::u16string> text = clip::ReadText(hwnd);
    // A clipboard that stayed busy is a change we could not see, not a change to the empty text.
    if (!text || !IsNewText(*text, app_.wnd.LastText)) return;
    app_.wnd.LastText = std::move(*text);
    showCount_(app_.wnd.LastText);
}

LRESULT CALLBACK ClipWatch::ClipWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                        DWORD_PTR ref) {
    auto* self = reinterpret_cast<ClipWatch*>(ref);
    switch (msg) {
        case WM_DRAWCLIPBOARD:
            self->OnDrawClipboard(hwnd);
            // The next viewer hears of the change only after the count has been shown.
            if (self->nextViewer_) self->PassOn(msg, wp, lp);
            break;
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
