// System facts the program needs: where it lives and what it is called.
#pragma once

#include <windows.h>

#include <string>

namespace quillet::sys {

// Full path of the running executable.
std::wstring ExecutablePath();

// Folder of the running executable, as the system gives it (no trailing separator).
std::wstring ExecutableFolder();

// File name of the running executable without folder and extension ("Quillet").
std::wstring ExecutableStem();

// A function of a system DLL that only newer systems have, or null: looked up by name in the
// loaded module, else in the module loaded from the system folder (never one beside the
// program).
FARPROC FindSystemFunction(const wchar_t* module, const char* name);
template <typename F>
F FindSystemFunction(const wchar_t* module, const char* name) {
    // Through void(*)(): the one conversion between function types that says it is meant.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(FindSystemFunction(module, name)));
}

}  // namespace quillet::sys
