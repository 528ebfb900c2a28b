#include "engine/RunControl.h"

#include "app/AppSettings.h"
#include "app/JobTable.h"
#include "controls/grid/GridStore.h"
#include "engine/DownloadSlots.h"
#include "engine/FetchContext.h"
#include "engine/JobExpander.h"
#include "engine/PostProcessor.h"
#include "engine/RunView.h"
#include "log/RunLog.h"
#include "util/Numbers.h"

#include <QElapsedTimer>

namespace {

const QString RunCaption = QStringLiteral("&Run");
const QString StopCaption = QStringLiteral("&Stop");

} // namespace

RunControl::RunControl(
    FetchContext &fetchContext, DownloadSlots &engineSlots, JobExpander &jobExpander, PostProcessor &processor)
    : context(fetchContext),
      downloadSlots(engineSlots),
      expander(jobExpander),
      postProcessor(processor)
{
}

bool RunControl::IsRunning() const
{
    return inRun;
}

QString RunControl::LastSummary() const
{
    return lastSummary;
}

bool RunControl::LastRunStopped() const
{
    return stopRequested;
}

QString RunControl::LastFailure() const
{
    return lastFailure;
}

void RunControl::RunClick()
{
    if (inRun)
        RequestStop();
    else
        StartRun();
}

// Handled inside the run's own waits: only the flag changes here, the run
// cleans up as it unwinds.
void RunControl::RequestStop()
{
    context.Run.Running = false;
    stopRequested = true;
    context.View->ProcessEvents();
}

void RunControl::StartRun()
{
    inRun = true;
    stopRequested = false;
    lastSummary.clear();
    lastFailure.clear();
    RunView &view = *context.View;
    try {
        view.SetOverallValue(0);
        view.SetOverallText(QString());
        downloadSlots.SetSlotCount(context.Settings.NumDLs);
        view.ShowSlotBox(true);
        view.ProcessEvents();
        view.SetRunCaption(StopCaption);
        context.Run.Running = true;
        view.ProcessEvents();
        QElapsedTimer clock;
        clock.start();
        context.Throughput.Restart();
        context.Run.FoundCount = 0;
        context.Run.TotalKB = 0;
        RunJobs();
        lastSummary = CompletedText(clock.elapsed());
        view.ShowSlotBox(false);
        view.SetOverallText(lastSummary);
        view.SetOverallValue(100);
        view.SetRunCaption(RunCaption);
    } catch (const std::exception &failure) {
        lastFailure = QString::fromUtf8(failure.what());
        view.ShowMessage(QStringLiteral("Unexpected event: ") + lastFailure);
        view.ShowSlotBox(false);
        view.SetRunCaption(RunCaption);
    }
    context.Run.Running = false;
    inRun = false;
}

QString RunControl::CompletedText(int64_t elapsedMs) const
{
    const int64_t seconds = static_cast<int64_t>(RoundHalfEven(static_cast<double>(elapsedMs) / 1000.0));
    QString summary = QStringLiteral("%1 Files (%2 KB) in %3 Secs.");
    summary.replace(QStringLiteral("%1"), QString::number(context.Run.FoundCount));
    summary.replace(QStringLiteral("%2"), QString::number(context.Run.TotalKB));
    summary.replace(QStringLiteral("%3"), QString::number(seconds));
    return QStringLiteral("Completed ") + summary;
}

void RunControl::RunJobs()
{
    context.Settings.ResetLog = context.View->ResetLogChecked(context.Settings.ResetLog);
    if (!context.Log.Exists() || context.Settings.ResetLog)
        context.StartRunLog();
    const int32_t last = context.LG.ItemCount() - 1;
    context.Run.TotalCount = 0;
    context.Run.ScannedCount = 0;
    context.Run.SkippedJobs = 0;
    context.Run.MissingCount = 0;
    context.Run.LeftAfterEnd = 0;
    context.Run.ExistingCount = 0;
    context.Pacing.Begin();

    const QString &dataFolder = context.Settings.DataFolder;
    for (int32_t row = 0; row <= last; ++row) {
        if (context.Jobs.JobChecked(row))
            expander.ExpandJob(context.Jobs.JobOfRow(row, dataFolder), true);
    }
    for (int32_t row = 0; row <= last; ++row) {
        if (!context.Jobs.JobChecked(row))
            continue;
        if (!context.Run.Running)
            return;
        // Read when its turn comes: edits made while earlier jobs ran count.
        const RowJob job = context.Jobs.JobOfRow(row, dataFolder);
        {
            // The job's lines are written in blocks at the run's waiting points.
            const HeldLogLines held(context.Log);
            expander.ExpandJob(job, false);
            if (!context.Run.Running)
                return;
            downloadSlots.RunQueue();
        }
        if (!context.Run.Running)
            return;
        postProcessor.PostProcessRow(row, true);
    }
}
