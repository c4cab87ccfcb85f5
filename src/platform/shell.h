// Opening documents through the shell.
#pragma once

#include <string>

namespace quillet::sys {

// Opens `target` with the program the user chose for it, like a double-click; nothing is
// reported when nothing can open it.
void ShellOpen(const std::wstring& target);

}  // namespace quillet::sys
