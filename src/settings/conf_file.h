// Conf.txt beside the executable: reading at start-up, safe replacement at closing.
#pragma once

#include <string>

#include "settings/conf_format.h"
#include "settings/settings.h"

namespace quillet {

// The executable's folder + "\" + "Conf.txt".
std::wstring ConfPath();

// Reads the file at `path` into `settings` if it is an ordinary file (a hidden or system file
// counts as missing). Returns whether the whole file was read. A file that cannot be opened, or
// that is larger than any Conf.txt (16 MiB), changes nothing; after a read error the lines that
// ended before it have been applied.
bool ConfLoad(const std::wstring& path, Settings& settings);

// Writes all eleven lines to `path` through a new file beside it that then replaces the old one,
// so that the old file survives any failure. The new file is `path` + ".tmp", so one that a crash
// left behind is overwritten by the next save; when a stray file of that name is not one to
// overwrite (read-only, hidden, system, a folder) or cannot be, a fresh name beside it. A
// read-only `path` is left alone (see ConfIsReadOnly).
// Returns whether the new file is in place. Never throws and shows nothing.
bool ConfSave(const std::wstring& path, const Settings& settings, const WindowGeometry& geometry);

// Whether `path` is a read-only file: the user's way of keeping the settings as they are, so not
// a failure worth a word when the save leaves it alone.
bool ConfIsReadOnly(const std::wstring& path);

}  // namespace quillet
