// The resolution of each window: the program is per-monitor aware, so a window sizes itself
// for the monitor it is on, and again when it moves to one with another DPI. The calls that
// tell exist only on newer Windows; without them every monitor has the system's DPI.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace quillet::display {

// Asks for per-monitor (v2) awareness in case the manifest was not honoured. A refusal (the
// manifest already did it, or the system cannot) changes nothing: the program then works at
// whatever DPI the system tells each window.
void DeclarePerMonitorAwareness();

// The DPI the system ran at when the user signed in (the primary monitor's then).
int SystemDpi();

// The DPI of the monitor a window is on, and of the monitor that holds (or is nearest) a point.
int DpiOfWindow(HWND hwnd);
int DpiAt(POINT point);

// GetSystemMetrics at a DPI.
int SystemMetric(int index, int dpi);

// The outer rectangle for a client rectangle, with the frame of that style at that DPI.
RECT OuterRect(RECT client, DWORD style, bool menu, DWORD exStyle, int dpi);

}  // namespace quillet::display
