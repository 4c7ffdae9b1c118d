// How the engines tell the shell that their state changed, without knowing it:
// one listener, set by the shell when the main window is created. Each notice
// is delivered on the UI thread, inside the engine call that made the change;
// the playback worker sends none (its end is the posted end notice). Portable.
#pragma once

enum class EngineChange {
    RecordingStarted,
    RecordingStopped,
    PlaybackStarted,
    PlaybackStartFailed,  // after PlaybackStarted: the worker could not be made
    PlaybackStopped,      // by StopPlayback; a playback that ends by itself posts instead
    SlotSwitched,         // the working macro is now another slot's
};

using EngineListener = void (*)(EngineChange change);

// Null silences the notices.
void SetEngineListener(EngineListener listener);
void NotifyEngineChange(EngineChange change);
