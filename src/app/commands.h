// The toolbar commands (button clicks, the R and P keys, the recording stop
// key): which macro each acts on, which engine it calls and every message box
// it shows. UI thread only.
#pragma once
#include <cstdint>

#include "base/resource_ids.h"  // CMD_OPEN .. CMD_PREFS

// Carries out one command; any other id does nothing. `origin` is the
// command's lParam.
void HandleToolbarCommand(int id, intptr_t origin = 0);
