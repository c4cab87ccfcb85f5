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
// overwritten, the others keep their values. "custom item ex" must be three characters "0" or
// "1" and "char limit" decimal digits that fit in 32 bits, spaces around either allowed;
// anything else reads as the default ("000", 0).
void ApplyConfText(std::string_view bytes, Settings& settings);

// The eleven lines of Conf.txt in their fixed order, CR LF after each, in Shift-JIS; then
// "custom item ex" and "char limit", each only when it differs from its default, so that the
// file of a user who never turns the figures on stays as it was.
std::string FormatConfText(const Settings& settings, const WindowGeometry& geometry);

}  // namespace quillet
