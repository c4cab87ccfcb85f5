// What screen readers learn of the program's controls: a name where the system's own would be
// missing or wrong, and live regions that say when a report appears.
#pragma once

#include <windows.h>

#include <string>

namespace quillet {

// The accessible name screen readers read for `control`: `name`, or, when it is empty, the
// control's own text at the moment of asking (a report box: what it shows is its name). The
// control answers WM_GETOBJECT with the system's object for it, whose name this replaces. Once
// for each control.
void SetAccessibleName(HWND control, std::wstring name = {});

// Marks `control` as a polite live region where the system keeps annotations for windows
// (Windows 8 on). Elsewhere nothing happens: the event alone still reaches screen readers.
void MarkLiveRegion(HWND control);

// Tells screen readers that the live region `control` now shows something new.
void AnnounceLiveRegion(HWND control);

}  // namespace quillet
