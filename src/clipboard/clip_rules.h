// The clipboard watch's decisions, apart from the Win32 calls that carry them out.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillet::clip {

// A window handle as a plain number, so that the rules need no Win32 header.
using WindowId = std::uintptr_t;

// Whether a copy is the program's own: its clipboard owner is a window of this process. Judged
// by who made the copy, not by which window is in front, so that a click on the program's window
// while a copy waits, or no window in front at all, cannot turn another program's copy into ours.
// A copy without an owner (0) was made by nobody in particular and is never ours.
constexpr bool IsOwnCopy(std::uint32_t ownerProcess, std::uint32_t ownProcess) {
    return ownerProcess != 0 && ownerProcess == ownProcess;
}

// How long a change waits before the next look when the clipboard was held by another program
// at look `tries` (0 for the first), after `waitedMs` since its first look; nothing once it has
// waited long enough to be given up. Short at first, since most holds last a moment; then once a
// second, for slow owners (large spreadsheet ranges, remote-desktop sync, clipboard managers).
inline constexpr unsigned kRetryFirstMs = 100;
inline constexpr unsigned kRetryLongestMs = 1000;
inline constexpr unsigned kRetryForMs = 90'000;
constexpr std::optional<unsigned> RetryDelay(int tries, std::uint64_t waitedMs) {
    if (tries < 0 || waitedMs >= kRetryForMs) return std::nullopt;
    unsigned delay = kRetryFirstMs;
    for (int i = 0; i < tries && delay < kRetryLongestMs; ++i) delay *= 2;
    return delay < kRetryLongestMs ? delay : kRetryLongestMs;
}

// Whether a text read from the clipboard is counted: only when it differs from the one counted
// last, code unit for code unit.
constexpr bool IsNewText(std::u16string_view text, std::u16string_view lastText) {
    return text != lastText;
}

// With a figure of the Unicode text on, that text is read too, and two copies whose Shift-JIS
// texts are equal may still differ in what Shift-JIS cannot hold (👍 and 😀 are both "?"): such a
// copy is new as well, or its figures would never be shown.
constexpr bool IsNewCopy(std::u16string_view text, std::u16string_view lastText, bool unicodeRead,
                         std::u16string_view unicode, std::u16string_view lastUnicode) {
    return IsNewText(text, lastText) || (unicodeRead && unicode != lastUnicode);
}

// What a copy says about itself through the markers that password managers and similar programs
// put beside their text.
struct ClipMarkers {
    bool ExcludeFromMonitor = false;  // "ExcludeClipboardContentFromMonitorProcessing" present
    bool ViewerIgnore = false;        // "Clipboard Viewer Ignore" present
    // The bytes of "CanIncludeInClipboardHistory" when that format is present; an empty view
    // when it is present but its data could not be had.
    std::optional<std::string_view> IncludeInHistory;
};

// A secret copy is neither counted nor shown, nor does it replace the last counted text. A
// history marker counts as secret unless it plainly holds a non-zero DWORD: a marker that is
// there but unreadable is more likely a secret than not.
constexpr bool IsSecretClip(const ClipMarkers& markers) {
    if (markers.ExcludeFromMonitor || markers.ViewerIgnore) return true;
    if (!markers.IncludeInHistory) return false;
    const std::string_view bytes = *markers.IncludeInHistory;
    if (bytes.size() < 4) return true;
    for (int i = 0; i < 4; ++i) {
        if (bytes[static_cast<std::size_t>(i)] != 0) return false;  // any order: only 0 is 0
    }
    return true;
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

}  // namespace quillet::clip
