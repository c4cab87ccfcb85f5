// The monitors the system shows now, with the part of each that task bars leave free.
#pragma once

#include <vector>

#include "display/placement.h"

namespace quillet::display {

// In the system's order; empty only when the system tells of none.
std::vector<MonitorArea> Monitors();

}  // namespace quillet::display
