// One move-only owner for every kind of Win32 handle: the deleter is part of the type.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace quillet {

// `InvalidValue` is the handle's "none" as a number: 0 for most kinds, -1 for files. A pointer
// cannot be a template argument made from a number, so it is converted where it is used.
template <typename H, auto Deleter, std::intptr_t InvalidValue = 0>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        reset(o.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Invalid(); }
    // Gives the handle away, e.g. a region to SetWindowRgn once that call has succeeded.
    H release() { return std::exchange(h_, Invalid()); }
    void reset(H h = Invalid()) {
        if (h_ != Invalid()) Deleter(h_);
        h_ = h;
    }

private:
    static H Invalid() { return reinterpret_cast<H>(InvalidValue); }

    H h_ = Invalid();
};

namespace detail {
inline void CloseKernelHandle(HANDLE h) {
    CloseHandle(h);
}
inline void DeleteGdiObject(HGDIOBJ h) {
    DeleteObject(h);
}
inline void DestroyWin(HWND h) {
    DestroyWindow(h);
}
inline void DestroyIco(HICON h) {
    DestroyIcon(h);
}
inline void DestroyMnu(HMENU h) {
    DestroyMenu(h);
}
inline void CloseRegKey(HKEY h) {
    RegCloseKey(h);
}
}  // namespace detail

using UniqueKernelHandle = UniqueHandle<HANDLE, detail::CloseKernelHandle>;
using UniqueFile = UniqueHandle<HANDLE, detail::CloseKernelHandle, -1>;
using UniqueWindow = UniqueHandle<HWND, detail::DestroyWin>;
using UniqueIcon = UniqueHandle<HICON, detail::DestroyIco>;
using UniqueMenu = UniqueHandle<HMENU, detail::DestroyMnu>;
using UniqueRegKey = UniqueHandle<HKEY, detail::CloseRegKey>;
template <typename G>
using UniqueGdi = UniqueHandle<G, detail::DeleteGdiObject>;
using UniqueRegion = UniqueGdi<HRGN>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBrush = UniqueGdi<HBRUSH>;

}  // namespace quillet
