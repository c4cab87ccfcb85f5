// Reading the clipboard's text (CF_UNICODETEXT, measured as Shift-JIS; CF_TEXT where there is no
// Unicode form) without hanging and without trusting its size.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quillet::clip {

// Holds the clipboard open for one scope. Another program may hold it for a moment, so opening
// is tried a few times within 30 ms; never waits longer.
class ClipboardOpen {
public:
    explicit ClipboardOpen(HWND owner);
    ~ClipboardOpen();
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;

    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
};

// Whether the clipboard offers text, in the Unicode or the ANSI format.
bool HasText();

// The text of a CF_TEXT block: up to its first NUL or the end of the block, whichever comes first
// (the block need not hold a NUL), converted from code page 932; a lead byte cut off at the end is
// dropped. Nothing when the block cannot be locked.
std::optional<std::u16string> TextFromBlock(HGLOBAL block);

// The text of a CF_UNICODETEXT block, with the same care: up to its first NUL or the last whole
// code unit of the block. Nothing when the block cannot be locked.
std::optional<std::u16string> UnicodeTextFromBlock(HGLOBAL block);

// What the clipboard watch got from one look at the clipboard.
enum class ClipStatus {
    Text,      // the text, in `text`
    Busy,      // another program held the clipboard open all the time we tried (30 ms)
    NoText,    // no text format, or its owner did not render it
    Secret,    // the copy carries a marker that asks clipboard tools to leave it alone
    TooLarge,  // the text is larger than this process can hold
};
struct WatchedText {
    ClipStatus status = ClipStatus::NoText;
    std::u16string text;         // as a Japanese copy's CF_TEXT holds it
    std::u16string unicodeText;  // only when asked for
};

// One look at the clipboard, unless it stayed busy, holds no text, or the copy carries one of the
// markers that password managers put beside a secret (whose text is then never read). The text
// is the copy's CF_UNICODETEXT converted to Shift-JIS as Windows makes a Japanese copy's CF_TEXT
// (text::ToSjisBestFit) and read back, so it is what CF_TEXT holds on a Japanese system whatever
// locale the copy was made under. The system offers CF_UNICODETEXT for a CF_TEXT copy as well;
// where it cannot be had, CF_TEXT as TextFromBlock converts it stands in. With `withUnicode`,
// the Unicode text is kept in `unicodeText` too (where there is none, `text` stands in); without,
// it is dropped after the conversion, so a copy of many megabytes is not held twice for nothing.
// Too large at any step, the whole copy is TooLarge. Never throws.
WatchedText ReadWatchedText(HWND owner, bool withUnicode = false);

}  // namespace quillet::clip
