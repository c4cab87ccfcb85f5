// The clipboard watch's decisions, apart from the Win32 calls that carry them out.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillet::shell {

// A window handle as a plain number, so that the rules need no Win32 header.
using WindowId = std::uintptr_t;

// Whether a clipboard change is looked at all. Copies made inside the program's own windows are
// not counted. A plain equality of handles: when there is no foreground window and no popup, both
// are 0 and the change is skipped as well.
constexpr bool ShouldExamineChange(WindowId foreground, WindowId mainWindow, WindowId popup) {
    return foreground != mainWindow && foreground != popup;
}

// Whether a text read from the clipboard is counted: only when it differs from the one counted
// last, code unit for code unit.
constexpr bool IsNewText(std::u16string_view text, std::u16string_view lastText) {
    return text != lastText;
}

// What to do when a viewer leaves the chain.
struct ChainChange {
    WindowId NextViewer = 0;  // the successor to keep from now on
    bool Forward = false;     // pass the notification on to the (old) next viewer
};

// `leaving` left the chain and `following` was after it. When it was our direct successor, its
// successor becomes ours and the notice stops here; otherwise it goes down the chain unchanged.
constexpr ChainChange OnChainChange(WindowId nextViewer, WindowId leaving, WindowId following) {
    if (leaving == nextViewer) return {following, false};
    return {nextViewer, nextViewer != 0};
}

}  // namespace quillet::shell
