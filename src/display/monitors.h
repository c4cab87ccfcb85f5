// The monitors the system shows now, with the part of each that task bars leave free.
#pragma once

#include <windows.h>

#include <vector>

#include "display/units.h"

#include "display/placement.h"

namespace quillet::display {

// In the system's order, each with its DPI; empty only when the system tells of none.
std::vector<MonitorArea> Monitors();

// The monitor under the mouse pointer (or the nearest), where the user works now; its work area
// is the whole screen when the system tells of no monitor.
MonitorArea MonitorUnderPointer();

// The monitor that holds `point` (or the nearest): for a caller that has read the pointer itself.
MonitorArea MonitorAtPoint(POINT point);

// The monitor that shows most of the window (or the nearest).
MonitorArea MonitorOfWindow(HWND hwnd);

}  // namespace quillet::display
