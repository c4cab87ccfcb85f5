// System facts the program needs: where it lives and what it is called.
#pragma once

#include <string>

namespace quillet::sys {

// Full path of the running executable.
std::wstring ExecutablePath();

// Folder of the running executable, as the system gives it (no trailing separator).
std::wstring ExecutableFolder();

// File name of the running executable without folder and extension ("Quillet").
std::wstring ExecutableStem();

}  // namespace quillet::sys
