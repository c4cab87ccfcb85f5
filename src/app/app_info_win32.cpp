#include "app/app_info.h"

#include "app/app_text.h"
#include "platform/system.h"
#include "platform/version_info.h"
#include "platform/wide.h"

namespace quillet::app {

namespace {
std::u16string VersionText(const sys::VersionInfo& v) {
    return FormatAppVersion(v.Major, v.Minor, v.Revision);
}
}  // namespace

std::wstring AppVersion() {
    return Wide(VersionText(sys::ReadVersionInfo()));
}

std::wstring AppTitle() {
    return Wide(FormatAppTitle(VersionText(sys::ReadVersionInfo())));
}

std::wstring VersionItemText() {
    const sys::VersionInfo v = sys::ReadVersionInfo();
    return Wide(VersionItemCaption(U16(sys::ExecutableStem()), VersionText(v), U16(v.CompanyName)));
}

void SetTopMost(HWND hwnd) {
    // Nor activated: a window made topmost while hidden must not take the foreground.
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace quillet::app
