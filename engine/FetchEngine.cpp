#include "engine/FetchEngine.h"

#include "engine/DownloadOutcomes.h"
#include "engine/DownloadSlots.h"
#include "engine/JobExpander.h"
#include "engine/PostProcessor.h"
#include "engine/RunControl.h"

FetchEngine::FetchEngine(AppSettings &settings, GridStore &grid, JobTable &jobs, RunLog &log)
    : context{settings, grid, jobs, log, &silentView, {}, {}, {}, {}, {}, {}},
      slots(std::make_unique<DownloadSlots>(context)),
      expander(std::make_unique<JobExpander>(context)),
      outcomes(std::make_unique<DownloadOutcomes>(context, *slots)),
      postProcessor(std::make_unique<PostProcessor>(context, *expander)),
      control(std::make_unique<RunControl>(context, *slots, *expander, *postProcessor))
{
}

FetchEngine::~FetchEngine() = default;

void FetchEngine::SetView(RunView *view)
{
    context.View = view ? view : &silentView;
}

void FetchEngine::RunClick()
{
    control->RunClick();
}

void FetchEngine::Stop()
{
    if (control->IsRunning())
        control->RunClick();
}

bool FetchEngine::IsRunning() const
{
    return control->IsRunning();
}

bool FetchEngine::AllowsRowChanges() const
{
    return !IsRunning();
}

const RunState &FetchEngine::Counters() const
{
    return context.Run;
}

QString FetchEngine::LastSummary() const
{
    return control->LastSummary();
}

bool FetchEngine::LastRunStopped() const
{
    return control->LastRunStopped();
}

QString FetchEngine::LastFailure() const
{
    return control->LastFailure();
}

QString FetchEngine::CompletedText(int64_t elapsedMs) const
{
    return control->CompletedText(elapsedMs);
}

std::vector<FetchEngine::BusyDownload> FetchEngine::BusyDownloads() const
{
    std::vector<BusyDownload> busy;
    for (int i = 0; i < DownloadSlots::SlotCount; ++i) {
        const FileDL &download = slots->Instance(i);
        if (download.IsDownloading())
            busy.push_back({i, download.UrlRead()});
    }
    return busy;
}

RunFigures FetchEngine::Figures() const
{
    return context.Throughput.Figures(context.Run);
}

void FetchEngine::GiveUpAll()
{
    slots->CancelEverySlot();
}

void FetchEngine::SetSlotCount(int32_t n)
{
    slots->SetSlotCount(n);
}

void FetchEngine::SetEndWaitBudget(int ms)
{
    slots->SetEndWaitBudget(ms);
}

bool FetchEngine::PostProcessRow(int32_t row)
{
    if (!AllowsRowChanges())
        return false;
    postProcessor->PostProcessRow(row, false);
    return true;
}
