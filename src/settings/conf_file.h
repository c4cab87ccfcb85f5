// Conf.txt beside the executable: reading at start-up, safe replacement at closing.
#pragma once

#include <string>

#include "settings/conf_format.h"
#include "settings/settings.h"

namespace quillet {

// The executable's folder + "\" + "Conf.txt".
std::wstring ConfPath();

// Reads the file at `path` into `settings` if it is an ordinary file (a hidden or system file
// counts as missing). Returns whether a file was read.
bool ConfLoad(const std::wstring& path, Settings& settings);

// Writes all eleven lines to `path` through a new file beside it that then replaces the old one,
// so that the old file survives any failure. Returns whether the new file is in place.
bool ConfSave(const std::wstring& path, const Settings& settings, const WindowGeometry& geometry);

}  // namespace quillet
