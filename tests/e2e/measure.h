// Figures for people, not assertions: latency from a copy to the report, and private memory.
#pragma once

namespace e2e {

// Runs Quillet.exe (QuilletExe()) from a temporary folder, prints the figures, returns 0 when
// every measurement could be made.
int RunMeasurements();

}  // namespace e2e
