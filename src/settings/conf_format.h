// The Conf.txt format, on bytes: portable, so that it is tested natively and fuzzed.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings.h"

namespace quillet {

// The main window's live geometry at saving time, in twips, as the window's single-precision
// properties hold it.
struct WindowGeometry {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

// Applies the lines of a Conf.txt (Shift-JIS bytes) to `settings`: settings the file names are
// overwritten, the others keep their values.
void ApplyConfText(std::string_view bytes, Settings& settings);

// The eleven lines of Conf.txt in their fixed order, CR LF after each, in Shift-JIS.
std::string FormatConfText(const Settings& settings, const WindowGeometry& geometry);

}  // namespace quillet
