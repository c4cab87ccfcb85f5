// The Run entry in the registry: what the settings dialog shows and applies, and what start-up
// mends. Only the current user's keys, so no administrator rights are needed; Task Manager's
// flag is read, never written.
#pragma once

#include "autostart/autostart_rules.h"

namespace quillet::autostart {

// The entry as the registry holds it now, judged for the running copy.
Judged LookNow();

// The dialog's apply step: writes this copy's value when the box was ticked, deletes it when the
// box was cleared and the value still names this copy. The registry is read again first.
void ApplyBox(bool tickedOnLoad, bool tickedNow);

// At start-up: an entry whose program is gone is pointed at this copy.
void RepointIfGone();

}  // namespace quillet::autostart
