#include "platform/icon.h"

#include "platform/system.h"

namespace quillet {

UniqueIcon LoadIconSized(HINSTANCE instance, int id, int size) {
    // Common controls 6 have it (the manifest asks for them); MinGW's import library does not.
    using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto scaleDown =
        sys::FindSystemFunction<ScaleDown>(L"comctl32.dll", "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (!scaleDown || FAILED(scaleDown(instance, MAKEINTRESOURCEW(id), size, size, &icon))) {
        icon = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
    }
    return UniqueIcon(icon);
}

}  // namespace quillet
