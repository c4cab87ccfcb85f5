// The whole run of the program: single instance, main window, message loop.
#pragma once

#include <windows.h>

namespace quillet::shell {

// Returns the process's exit code once the main window has closed.
int RunQuillet(HINSTANCE instance);

}  // namespace quillet::shell
