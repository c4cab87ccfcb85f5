#include "clipboard/clipboard.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string_view>

#include "clipboard/clip_rules.h"
#include "text/text.h"
#include "text/text_win32.h"

namespace quillet::clip {

namespace {

// A few tries within 30 ms ride out the moment another viewer or the system's clipboard sync has
// the clipboard open; a longer hold is the watch's to wait for, on a timer, so that the window
// never stops answering.
constexpr int kOpenAttempts = 4;
constexpr DWORD kOpenRetryMs = 10;

// Unlocks on every way out of the read.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
    ~GlobalLockGuard() {
        if (p_) GlobalUnlock(h_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    const char* data() const { return static_cast<const char*>(p_); }

private:
    HGLOBAL h_;
    void* p_;
};

// The formats are registered by name; the system gives every program the same number for a name.
UINT RegisteredFormat(const wchar_t* name) {
    return RegisterClipboardFormatW(name);
}

// With the clipboard open: the markers of the current copy.
bool IsSecretCopy() {
    static const UINT exclude = RegisteredFormat(L"ExcludeClipboardContentFromMonitorProcessing");
    static const UINT viewerIgnore = RegisteredFormat(L"Clipboard Viewer Ignore");
    static const UINT history = RegisteredFormat(L"CanIncludeInClipboardHistory");
    ClipMarkers markers;
    markers.ExcludeFromMonitor = exclude && IsClipboardFormatAvailable(exclude);
    markers.ViewerIgnore = viewerIgnore && IsClipboardFormatAvailable(viewerIgnore);
    char value[4] = {};
    if (history && IsClipboardFormatAvailable(history)) {
        std::size_t length = 0;
        HGLOBAL block = GetClipboardData(history);
        GlobalLockGuard lock(block);
        if (lock.data()) {
            length = std::min<SIZE_T>(GlobalSize(block), sizeof value);
            std::memcpy(value, lock.data(), length);
        }
        markers.IncludeInHistory = std::string_view(value, length);
    }
    return IsSecretClip(markers);
}

}  // namespace

ClipboardOpen::ClipboardOpen(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (OpenClipboard(owner)) {
            open_ = true;
            return;
        }
        Sleep(kOpenRetryMs);
    }
}

ClipboardOpen::~ClipboardOpen() {
    if (open_) CloseClipboard();
}

bool HasText() {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}

WatchedText ReadWatchedText(HWND owner, bool withUnicode) {
    ClipboardOpen open(owner);
    if (!open) return {ClipStatus::Busy, {}, {}};
    if (IsSecretCopy()) return {ClipStatus::Secret, {}, {}};
    try {
        // CF_TEXT is made from the Unicode text with the code page of the copy's locale, which
        // is Shift-JIS only under a Japanese keyboard; converting the Unicode text here the way
        // a Japanese copy's CF_TEXT is made gives the same text on every system.
        if (HGLOBAL wide = GetClipboardData(CF_UNICODETEXT)) {
            if (std::optional<std::u16string> unicode = UnicodeTextFromBlock(wide)) {
                WatchedText read{
                    ClipStatus::Text, text::FromSjis(text::ToSjisBestFit(*unicode)), {}};
                if (withUnicode) read.unicodeText = std::move(*unicode);
                return read;
            }
        }
        // Text without a Unicode form (a source that could not render it): its bytes as they are.
        HGLOBAL handle = GetClipboardData(CF_TEXT);
        if (!handle) return {ClipStatus::NoText, {}, {}};
        std::optional<std::u16string> text = TextFromBlock(handle);
        if (!text) return {ClipStatus::NoText, {}, {}};
        WatchedText read{ClipStatus::Text, std::move(*text), {}};
        if (withUnicode) read.unicodeText = read.text;
        return read;
    } catch (const std::bad_alloc&) {
        return {ClipStatus::TooLarge, {}, {}};
    } catch (const std::length_error&) {
        return {ClipStatus::TooLarge, {}, {}};
    }
}

std::optional<std::u16string> TextFromBlock(HGLOBAL block) {
    GlobalLockGuard lock(block);
    if (!lock.data()) return std::nullopt;
    // The block's size is the only bound we can trust: the text need not end in a NUL.
    const SIZE_T size = GlobalSize(block);
    const void* nul = std::memchr(lock.data(), 0, size);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - lock.data()) : size;
    return text::FromSjis(std::string_view(lock.data(), length));
}

std::optional<std::u16string> UnicodeTextFromBlock(HGLOBAL block) {
    GlobalLockGuard lock(block);
    if (!lock.data()) return std::nullopt;
    // An odd last byte is half a code unit: not text. The lock gives memory aligned for any type.
    const std::u16string_view block16(reinterpret_cast<const char16_t*>(lock.data()),
                                      GlobalSize(block) / sizeof(char16_t));
    return std::u16string(block16.substr(0, block16.find(u'\0')));
}

}  // namespace quillet::clip
