#include "engine/JobExpander.h"

#include "app/RowJob.h"
#include "engine/FetchContext.h"
#include "engine/RunView.h"
#include "log/RunLog.h"
#include "util/Errors.h"

#include <QElapsedTimer>
#include <limits>

namespace {

// Items logged between two looks at the clock.
constexpr int32_t ItemsPerClockCheck = 256;

} // namespace

JobExpander::JobExpander(FetchContext &fetchContext) : context(fetchContext)
{
}

void JobExpander::ExpandJob(const RowJob &job, bool countOnly)
{
    context.Queue.Clear();
    if (job.Folder.isEmpty()) {
        context.Log.AddLogLine(QStringLiteral("Unable to Access Output Folder : ") + job.Output);
        // The counting pass sees every checked job once.
        if (countOnly)
            ++context.Run.SkippedJobs;
        return;
    }
    if (!job.BoundsInRange)
        throw OverflowError();

    const int sequences = job.Sequences();
    if (countOnly) {
        int64_t count = 1;
        if (sequences >= 1)
            count = job.First.Count();
        if (sequences == 2)
            count *= job.Second.Count();
        CountUrls(count);
        return;
    }
    context.Queue.SetJob(sequences, job.Url, job.Prefix, job.Folder, job.First, job.Second);
    LogQueue();
}

// Counting needs no loop: the counting pass of a huge range takes no time,
// and a count beyond the 32-bit range is the overflow the loop would meet.
void JobExpander::CountUrls(int64_t count)
{
    const int64_t total = int64_t(context.Run.TotalCount) + count;
    if (total > std::numeric_limits<int32_t>::max())
        throw OverflowError();
    context.Run.TotalCount = static_cast<int32_t>(total);
}

// One line per item, in steps of about StepMs: between steps the lines so far
// go to disk in one block and the event loop turns, so a Stop arrives and the
// window stays responsive. A stopped run ends the logging; outside a run (a
// row's post-processing) the queue is always logged whole. The lines are on
// disk before the first download starts.
void JobExpander::LogQueue()
{
    const HeldLogLines held(context.Log);
    const bool inRun = context.Run.Running;
    const int32_t count = context.Queue.QueueCount();
    QElapsedTimer step;
    step.start();
    for (int32_t k = 1; k <= count; ++k) {
        context.Log.AddLogLine(DownloadQueue::LogLine(context.Queue.Item(k)));
        if (k % ItemsPerClockCheck != 0 || step.elapsed() < StepMs || k == count)
            continue;
        context.Log.WriteHeldLines();
        context.View->ProcessEvents();
        if (inRun && !context.Run.Running)
            break;
        step.restart();
    }
    context.Log.WriteHeldLines();
}
