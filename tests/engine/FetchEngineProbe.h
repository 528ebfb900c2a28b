#pragma once

#include "engine/DownloadSlots.h"
#include "engine/FetchEngine.h"
#include "engine/JobExpander.h"

// Reaches behind the engine's front door, for tests of its parts.
struct FetchEngineProbe {
    static FetchContext &Context(FetchEngine &engine) { return engine.context; }
    static FileDL &Download(FetchEngine &engine, int slot) { return engine.slots->Instance(slot); }
    static JobExpander &Expander(FetchEngine &engine) { return *engine.expander; }
};
