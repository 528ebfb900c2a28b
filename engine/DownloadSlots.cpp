#include "engine/DownloadSlots.h"

#include "app/AppSettings.h"
#include "engine/FetchContext.h"
#include "engine/RunView.h"
#include "log/RunLog.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <optional>

DownloadSlots::DownloadSlots(FetchContext &fetchContext) : context(fetchContext)
{
    for (int i = 0; i < SlotCount; ++i) {
        instances[i] = std::make_unique<FileDL>(i);
        // Counted at once: a pause looks at the count only after the pass
        // that raised the event, when the instance has turned idle.
        QObject::connect(instances[i].get(), &FileDL::DownloadComplete, instances[i].get(), [this] { WakePause(); });
        QObject::connect(instances[i].get(), &FileDL::DownloadError, instances[i].get(), [this] { WakePause(); });
    }
}

DownloadSlots::~DownloadSlots() = default;

FileDL &DownloadSlots::Instance(int index)
{
    return *instances.at(static_cast<size_t>(index));
}

const FileDL &DownloadSlots::Instance(int index) const
{
    return *instances.at(static_cast<size_t>(index));
}

void DownloadSlots::SetEndWaitBudget(int ms)
{
    endWaitBudget = ms;
}

void DownloadSlots::SetSlotCount(int32_t n)
{
    context.View->SlotCountSet(n);
    context.Settings.NumDLs = n;
    for (int i = 0; i < SlotCount; ++i) {
        context.View->SetSlotValue(i, 0);
        context.View->SetSlotText(i, QString());
    }
}

// NumDLs is read afresh at every scan, so a change applies at once.
int DownloadSlots::FindFreeSlot()
{
    for (;;) {
        for (int i = 0; i < context.Settings.NumDLs && i < SlotCount; ++i) {
            if (!instances[i]->IsDownloading())
                return i;
        }
        const uint64_t seen = wakeUps;
        context.View->ProcessEvents();
        if (!context.Run.Running)
            return -1;
        Pause(PollInterval, seen);
    }
}

// Items that failed for a transient reason may come back as retries while
// the job's last downloads are awaited: the job ends when none waits.
void DownloadSlots::RunQueue()
{
    const AppOptions &options = context.Settings.Options;
    context.EndOfSequence.Begin(options.UntilMissing, context.Queue);
    context.Retries.Begin(options.Retries);
    context.Pacing.SetWait(options.WaitMs);
    int64_t next = 1;
    do {
        next = StartRequests(next);
        if (context.Run.Running)
            WaitAllIdle();
    } while (context.Run.Running && context.Retries.Pending());
    // A Stop cancels what is still running, so nothing is saved or counted
    // after the run's summary; the retries waiting go with their bytes.
    if (!context.Run.Running) {
        CancelAll();
        context.Retries.Clear();
    }
}

// A retry whose time has come goes before the next item. A sequence may end
// while the run waits for a host or a slot: the item in hand is then looked
// at again.
int64_t DownloadSlots::StartRequests(int64_t next)
{
    const int32_t count = context.Queue.QueueCount();
    for (next = RequestFrom(next); next <= count || context.Retries.Pending(); next = RequestFrom(next)) {
        // A long row of files already there still lets the Stop click in.
        if (next <= count && SkipsExisting(next)) {
            ++next;
            context.View->ProcessEvents();
            if (!context.Run.Running)
                break;
            continue;
        }
        std::optional<RetrySchedule::Retry> retry = context.Retries.TakeDue();
        if (!retry && next > count) {
            WaitForRetry();
            if (!context.Run.Running)
                break;
            continue;
        }
        const int32_t k = retry ? retry->Item : static_cast<int32_t>(next);
        if (!WaitForHost(k))
            break;
        const int slot = FindFreeSlot();
        if (!context.Run.Running)
            break;
        if (context.EndOfSequence.Skips(k))
            context.Run.LeftAfterEnd += retry ? 1 : 0;
        else if (retry)
            Start(slot, k, std::move(retry->Partial));
        else
            Start(slot, static_cast<int32_t>(next++));
    }
    return next;
}

int64_t DownloadSlots::RequestFrom(int64_t k)
{
    const int64_t next = context.EndOfSequence.NextToRequest(k);
    context.Run.LeftAfterEnd += static_cast<int32_t>(next - k);
    return next;
}

bool DownloadSlots::SkipsExisting(int64_t k)
{
    if (context.Settings.Options.SkipExisting == 0)
        return false;
    const QueueItem item = context.Queue.Item(static_cast<int32_t>(k));
    const QFileInfo target(item.TargetPath);
    // An empty file is what an interrupted copy leaves: it is fetched again.
    if (!target.isFile() || target.size() == 0)
        return false;
    context.Queue.MarkStarted(static_cast<int32_t>(k));
    context.Queue.MarkDone(static_cast<int32_t>(k));
    ++context.Run.ScannedCount;
    ++context.Run.ExistingCount;
    context.ShowScanned();
    context.Log.AddLogLine(QStringLiteral("File Exists, Skipped: ") + item.TargetPath);
    return true;
}

void DownloadSlots::WaitForRetry()
{
    while (context.Run.Running && !context.Retries.HasDue()) {
        const qint64 left = context.Retries.UntilNextDue();
        Pause(static_cast<int>(std::clamp<qint64>(left, 1, PollInterval)), wakeUps);
    }
}

bool DownloadSlots::WaitForHost(int32_t k)
{
    const QString url = context.Pacing.IsIdle() ? QString() : context.Queue.Item(k).Url;
    for (qint64 left = context.Pacing.RemainingMs(url); left > 0 && context.Run.Running;
         left = context.Pacing.RemainingMs(url))
        Pause(static_cast<int>(std::min<qint64>(left, PollInterval)), wakeUps);
    return context.Run.Running;
}

void DownloadSlots::Start(int slot, int32_t k, std::unique_ptr<DownloadedBody> partial)
{
    const QueueItem item = context.Queue.Item(k);
    FileDL &download = *instances[slot];
    download.SetUserStr(item.TargetPath);
    download.SetUserNum(k);
    context.Queue.MarkStarted(k);
    // Spooling beside the target makes the final save a rename.
    download.SetSpoolFolder(QFileInfo(item.TargetPath).absolutePath());
    context.Throughput.Started(slot);
    context.Pacing.Started(item.Url);
    if (partial)
        download.ResumeDownload(item.Url, QString::number(slot), std::move(partial));
    else
        download.BeginDownload(item.Url, QString::number(slot), 2);
}

int DownloadSlots::BusySlotBelowCount()
{
    for (int i = 0; i < context.Settings.NumDLs && i < SlotCount; ++i) {
        if (instances[i]->IsDownloading())
            return i;
    }
    return -1;
}

void DownloadSlots::WaitAllIdle()
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < endWaitBudget && BusySlotBelowCount() >= 0 && !context.Retries.HasDue()) {
        const uint64_t seen = wakeUps;
        context.View->ProcessEvents();
        Pause(PollInterval, seen);
        if (!context.Run.Running)
            return;
    }
}

void DownloadSlots::CancelSlot(int slot)
{
    instances[slot]->Cancel(QString::number(slot));
    context.Throughput.Ended(slot, false);
}

void DownloadSlots::CancelAll()
{
    for (int i = 0; i < context.Settings.NumDLs && i < SlotCount; ++i) {
        if (instances[i]->IsDownloading()) {
            CancelSlot(i);
            context.View->ProcessEvents();
        }
    }
}

void DownloadSlots::CancelEverySlot()
{
    for (int i = 0; i < SlotCount; ++i) {
        if (instances[i]->IsDownloading())
            CancelSlot(i);
    }
}

void DownloadSlots::CancelAfterSequenceEnd()
{
    for (int i = 0; i < SlotCount; ++i) {
        FileDL &download = *instances[i];
        if (download.IsDownloading() && FetchesQueuedItem(download) &&
            context.EndOfSequence.Skips(download.UserNum())) {
            CancelSlot(i);
            ++context.Run.LeftAfterEnd;
            WakePause();
        }
    }
}

bool DownloadSlots::FetchesQueuedItem(const FileDL &download) const
{
    const int32_t k = download.UserNum();
    return context.Queue.HasItem(k) && context.Queue.Item(k).Url == download.UrlRead();
}

// The log's held lines go to disk at every wait. The wait itself is passes
// of the event loop that block until something happens (a socket, a timer,
// a window event); an ending download is seen after the pass that ended it,
// so no event is posted to wake the wait and nothing polls.
void DownloadSlots::Pause(int ms, uint64_t wakeUpsSeen)
{
    context.Log.WriteHeldLines();
    context.View->ProcessEvents();
    // Without an event loop to block in there is nothing to wait for.
    if (context.View->ShiftHeld() || !QAbstractEventDispatcher::instance())
        return;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(ms);
    while (deadline.isActive() && wakeUps == wakeUpsSeen && context.Run.Running)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void DownloadSlots::WakePause()
{
    ++wakeUps;
}
