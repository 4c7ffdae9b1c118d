// The toolbar commands (button clicks, the R and P keys, the recording stop
// key): which macro each acts on, which engine it calls and every message box
// it shows. UI thread only.
#pragma once

enum : int {
    CMD_OPEN = 1001,
    CMD_SAVE = 1002,
    CMD_RECORD = 1003,
    CMD_PLAY = 1004,
    CMD_COMPILE = 1005,
    CMD_PREFS = 1006,
};

// Carries out one command; any other id does nothing.
void HandleToolbarCommand(int id);
