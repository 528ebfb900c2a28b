#pragma once

#include "engine/DownloadOutcomes.h"
#include "engine/DownloadSlots.h"
#include "engine/FetchContext.h"
#include "engine/JobExpander.h"
#include "engine/PostProcessor.h"
#include "engine/RunControl.h"

// The fetch engine as a whole: the run state and queue, the nine slots and
// their outcome handlers, sequence expansion, post-processing and run control.
class FetchEngine {
public:
    FetchEngine(AppSettings &settings, GridStore &grid, JobTable &jobs, RunLog &log, RunView *view);

    FetchContext Context;
    DownloadSlots Slots;
    JobExpander Expander;
    DownloadOutcomes Outcomes;
    PostProcessor PostProcess;
    RunControl Control;

    void SetView(RunView *view);
};
