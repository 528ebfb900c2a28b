#include "engine/FetchEngine.h"

FetchEngine::FetchEngine(AppSettings &settings, GridStore &grid, JobTable &jobs, RunLog &log, RunView *view)
    : Context{settings, grid, jobs, log, view, {}, {}},
      Slots(Context),
      Expander(Context),
      Outcomes(Context, Slots),
      PostProcess(Context, Expander),
      Control(Context, Slots, Expander, PostProcess)
{
}

void FetchEngine::SetView(RunView *view)
{
    Context.View = view;
}
