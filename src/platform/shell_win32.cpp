#include <windows.h>

#include <shellapi.h>

#include "platform/shell.h"

namespace quillet::sys {

void ShellOpen(const std::wstring& target) {
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quillet::sys
