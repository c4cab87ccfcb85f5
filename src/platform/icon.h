// Icons from the program's resources at the size a window needs at its DPI.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace quillet {

// The icon's own image for `size` pixels when the .ico has one, else the next larger scaled
// down (never a smaller one blown up).
UniqueIcon LoadIconSized(HINSTANCE instance, int id, int size);

}  // namespace quillet
