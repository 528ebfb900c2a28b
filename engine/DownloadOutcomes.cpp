#include "engine/DownloadOutcomes.h"

#include "app/AppSettings.h"
#include "engine/DownloadSlots.h"
#include "engine/DownloadedBody.h"
#include "engine/FetchContext.h"
#include "engine/RunView.h"
#include "log/RunLog.h"
#include "util/Numbers.h"

#include <QDateTime>
#include <algorithm>

namespace {

constexpr int32_t StatusRedirecting = 3;
constexpr qint64 SmallestKnownSize = 10;

// A handler that fails ends there, silently: nothing escapes into the event
// loop that delivered the event.
template <typename Handler>
void EndsSilentlyOnFailure(Handler handler)
{
    try {
        handler();
    } catch (...) {
    }
}

} // namespace

DownloadOutcomes::DownloadOutcomes(FetchContext &fetchContext, DownloadSlots &engineSlots)
    : context(fetchContext),
      downloadSlots(engineSlots)
{
    for (int i = 0; i < DownloadSlots::SlotCount; ++i) {
        FileDL &download = downloadSlots.Instance(i);
        QObject::connect(&download, &FileDL::DownloadProgress, &download,
            [this](int index, const QString &key, qint64 progress, qint64 max, int32_t status, const QString &text) {
                EndsSilentlyOnFailure([&] { DownloadProgress(index, key, progress, max, status, text); });
            });
        QObject::connect(&download, &FileDL::DownloadError, &download,
            [this](int index, const QString &key, int32_t code, const QString &description) {
                EndsSilentlyOnFailure([&] { DownloadError(index, key, code, description); });
            });
        QObject::connect(&download, &FileDL::DownloadComplete, &download,
            [this](int index, const QString &key, const DownloadedBody &body, int32_t code) {
                EndsSilentlyOnFailure([&] { DownloadComplete(index, key, body, code); });
            });
    }
}

int32_t DownloadOutcomes::Percentage(qint64 part, qint64 whole)
{
    if (whole <= 0)
        return 0;
    return static_cast<int32_t>(RoundHalfEven(static_cast<double>(part) * 100.0 / static_cast<double>(whole)));
}

void DownloadOutcomes::DownloadProgress(
    int index, const QString &Key, qint64 Progress, qint64 ProgressMax, int32_t StatusNumber, const QString &)
{
    FileDL &download = downloadSlots.Instance(index);
    if (StatusNumber == StatusRedirecting) {
        download.Cancel(Key);
        context.Throughput.Ended(index, false);
        context.Log.AddLogLine(QStringLiteral("Cancelled due to redirecting: ") + download.UserStr());
        downloadSlots.WakePause();
        return;
    }
    context.Throughput.Received(index, Progress, ProgressMax);
    context.View->SetSlotValue(index, ProgressMax >= SmallestKnownSize ? Percentage(Progress, ProgressMax) : 0);
}

void DownloadOutcomes::DownloadError(int index, const QString &, int32_t Code, const QString &Description)
{
    context.Throughput.Ended(index, false);
    FileDL &download = downloadSlots.Instance(index);
    HoldHostAfter(download);
    if (TriesAgain(download, Description)) {
        context.View->SetSlotValue(index, 0);
        return;
    }
    ++context.Run.ScannedCount;
    context.ShowOverallPercentage();
    context.View->SetSlotValue(index, 0);
    context.Log.AddLogLine(QStringLiteral("File Download Error: Code=") + QString::number(Code) +
        QStringLiteral(", File Missing or Access Denied ") + download.UrlRead());
    if (AnswerIsMissing(download))
        NoteMissing(download);
}

void DownloadOutcomes::HoldHostAfter(const FileDL &download)
{
    const AppOptions &options = context.Settings.Options;
    const int status = download.HttpStatus();
    if ((options.WaitMs == 0 && options.Retries == 0) || (status != 429 && status != 503))
        return;
    const qint64 ms = RetrySchedule::RetryAfterMs(download.RetryAfter(), QDateTime::currentDateTimeUtc());
    if (ms > 0)
        context.Pacing.Hold(download.UrlRead(), ms);
}

// Only an item of the current queue is tried again, and never after Stop.
// Its slot is free at once: the item waits without one.
bool DownloadOutcomes::TriesAgain(FileDL &download, const QString &reason)
{
    if (!context.Run.Running || !context.Retries.IsOn() || !download.FailureIsTransient() ||
        !downloadSlots.FetchesQueuedItem(download))
        return false;
    const int32_t k = download.UserNum();
    const int attempt = context.Retries.NextAttempt(k);
    if (attempt == 0)
        return false;
    qint64 delay = RetrySchedule::RetryAfterMs(download.RetryAfter(), QDateTime::currentDateTimeUtc());
    if (delay < 0)
        delay = RetrySchedule::BackoffMs(attempt);
    context.Log.AddLogLine(
        QStringLiteral("Retry %1 of %2 in %3 s: ").arg(attempt).arg(context.Retries.Limit()).arg((delay + 999) / 1000) +
        download.UrlRead() + QLatin1Char(' ') + reason);
    context.Retries.Schedule(k, delay, download.TakePartialBody());
    return true;
}

// Also a job without a sequence may miss its file: it is counted as
// missing, and it ends nothing.
bool DownloadOutcomes::AnswerIsMissing(const FileDL &download) const
{
    return context.Settings.Options.UntilMissing > 0 &&
        SequenceEnd::AnswerIsMissing(download.HttpStatus(), download.ContentType(), download.UrlRead());
}

// Missing files are expected at the end of a sequence: they are counted
// apart from the failures. Only the current queue's items make a sequence.
void DownloadOutcomes::NoteMissing(const FileDL &download)
{
    ++context.Run.MissingCount;
    if (!downloadSlots.FetchesQueuedItem(download))
        return;
    const int32_t last = context.EndOfSequence.Missing(download.UserNum());
    if (last == 0)
        return;
    context.Log.AddLogLine(
        QStringLiteral("Sequence ended after %1 missing files: ").arg(context.EndOfSequence.Limit()) +
        context.Queue.Item(last).Url);
    downloadSlots.CancelAfterSequenceEnd();
}

void DownloadOutcomes::DownloadComplete(int index, const QString &Key, const DownloadedBody &byteArray, int32_t)
{
    const double slot = LeadingNumber(Key);
    if (slot < 0 || slot >= context.Settings.NumDLs) {
        context.Throughput.Ended(index, false);
        return;
    }
    // A server's "not found" page is a missing file, not one to save.
    if (AnswerIsMissing(downloadSlots.Instance(index))) {
        DownloadError(index, Key, 0, QString());
        return;
    }
    SaveCompletedDownload(index, byteArray);
}

// A target that cannot be written ends the handler quietly: nothing is
// counted or logged for it.
void DownloadOutcomes::SaveCompletedDownload(int index, const DownloadedBody &body)
{
    FileDL &download = downloadSlots.Instance(index);
    const QString target = download.UserStr();
    const int32_t k = download.UserNum();
    // A download that outlived its job's end wait may complete while the next
    // job's queue is in place: its file is still saved.
    if (context.Queue.HasItem(k))
        context.Queue.MarkDone(k);

    const qint64 size = body.Size();
    context.Throughput.Ended(index, true);
    if (!body.SaveTo(target))
        return;
    context.View->ProcessEvents();

    context.Run.TotalKB += static_cast<int32_t>(RoundHalfEven(static_cast<double>(size) / 1024.0));
    context.View->SetSlotValue(index, 0);
    ++context.Run.ScannedCount;
    ++context.Run.FoundCount;
    context.ShowScanned();
    context.Log.AddLogLine(
        QStringLiteral("File Saved: ") + target + QStringLiteral(" TotalKB: ") + QString::number(context.Run.TotalKB));
}
