#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include "platform/shell.h"

namespace quillet::sys {

bool ShellOpen(const std::wstring& target) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The program says itself what went wrong, in its own words.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = target.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

ComApartment::ComApartment() {
    // S_FALSE (already initialised on this thread) also needs its CoUninitialize.
    initialised_ =
        SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

ComApartment::~ComApartment() {
    if (initialised_) CoUninitialize();
}

}  // namespace quillet::sys
