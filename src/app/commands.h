// The toolbar commands (button clicks, the R and P keys, the recording stop
// key): which macro each acts on, which engine it calls and every message box
// it shows. UI thread only.
#pragma once
#include <cstdint>

#include "base/resource_ids.h"  // CMD_OPEN .. CMD_PREFS

// Where a posted Record command came from, carried in its lParam: a click's
// lParam is the button's handle instead, and 0 means the origin is unknown.
// Each origin leaves a different trace at the end of a recording.
constexpr intptr_t kCommandFromStopKey = 1;
constexpr intptr_t kCommandFromWindowKey = 2;

// Carries out one command; any other id does nothing. `origin` is the
// command's lParam.
void HandleToolbarCommand(int id, intptr_t origin = 0);
