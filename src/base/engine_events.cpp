#include "base/engine_events.h"

namespace {
EngineListener listener;
}  // namespace

void SetEngineListener(EngineListener newListener) { listener = newListener; }

void NotifyEngineChange(EngineChange change) {
    if (listener) listener(change);
}
