#include <windows.h>

#include <cwchar>
#include <iterator>
#include <vector>

#include "platform/system.h"
#include "platform/version_info.h"

namespace quillet::sys {

VersionInfo ReadVersionInfo() {
    VersionInfo info;
    const std::wstring path = ExecutablePath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return info;
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return info;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLen = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLen) && fixed &&
        fixedLen >= sizeof(VS_FIXEDFILEINFO)) {
        info.Major = HIWORD(fixed->dwFileVersionMS);
        info.Minor = LOWORD(fixed->dwFileVersionMS);
        info.Build = HIWORD(fixed->dwFileVersionLS);
        info.Revision = LOWORD(fixed->dwFileVersionLS);
    }

    // The string table of the first translation the resource lists.
    struct Translation {
        WORD Language;
        WORD CodePage;
    };
    Translation* translations = nullptr;
    UINT translationsLen = 0;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(&translations), &translationsLen) &&
        translations && translationsLen >= sizeof(Translation)) {
        wchar_t key[64];
        swprintf(key, std::size(key), L"\\StringFileInfo\\%04x%04x\\CompanyName",
                 static_cast<unsigned>(translations[0].Language),
                 static_cast<unsigned>(translations[0].CodePage));
        wchar_t* value = nullptr;
        UINT valueLen = 0;
        if (VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&value), &valueLen) &&
            value && valueLen > 0) {
            info.CompanyName.assign(value, wcsnlen(value, valueLen));
        }
    }
    return info;
}

}  // namespace quillet::sys
