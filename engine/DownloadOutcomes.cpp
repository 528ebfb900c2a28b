#include "engine/DownloadOutcomes.h"

#include "app/AppSettings.h"
#include "engine/DownloadSlots.h"
#include "engine/DownloadedBody.h"
#include "engine/FetchContext.h"
#include "engine/RunView.h"
#include "log/RunLog.h"
#include "util/Numbers.h"

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
    : context(fetchContext), downloadSlots(engineSlots)
{
    for (int i = 0; i < DownloadSlots::SlotCount; ++i) {
        FileDL &download = downloadSlots.Instance(i);
        QObject::connect(&download, &FileDL::DownloadProgress, &download,
                         [this](int index, const QString &key, qint64 progress, qint64 max, int32_t status,
                                const QString &text) {
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

void DownloadOutcomes::DownloadProgress(int index, const QString &Key, qint64 Progress, qint64 ProgressMax,
                                        int32_t StatusNumber, const QString &)
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

// The overall bar may see completions that belong to an earlier run (or none
// counted yet): it stays within 0..100 whatever the counters say.
void DownloadOutcomes::ShowOverallPercentage()
{
    const int32_t percent = Percentage(context.Run.ScannedCount, context.Run.TotalCount);
    context.View->SetOverallValue(std::clamp(percent, 0, 100));
}

void DownloadOutcomes::DownloadError(int index, const QString &, int32_t Code, const QString &)
{
    context.Throughput.Ended(index, false);
    ++context.Run.ScannedCount;
    ShowOverallPercentage();
    context.View->SetSlotValue(index, 0);
    const FileDL &download = downloadSlots.Instance(index);
    context.Log.AddLogLine(QStringLiteral("File Download Error: Code=") + QString::number(Code)
                           + QStringLiteral(", File Missing or Access Denied ") + download.UrlRead());
    if (AnswerIsMissing(download))
        NoteMissing(download);
}

// Also a job without a sequence may miss its file: it is counted as
// missing, and it ends nothing.
bool DownloadOutcomes::AnswerIsMissing(const FileDL &download) const
{
    return context.Settings.Options.UntilMissing > 0
        && SequenceEnd::AnswerIsMissing(download.HttpStatus(), download.ContentType(), download.UrlRead());
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
    context.Log.AddLogLine(QStringLiteral("Sequence ended after %1 missing files: ")
                               .arg(context.EndOfSequence.Limit())
                           + context.Queue.Item(last).Url);
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
    ShowOverallPercentage();
    context.View->SetOverallText(QStringLiteral("Found %1, Scanned %2 out of %3 Files.")
                                     .arg(context.Run.FoundCount)
                                     .arg(context.Run.ScannedCount)
                                     .arg(context.Run.TotalCount));
    context.Log.AddLogLine(QStringLiteral("File Saved: ") + target + QStringLiteral(" TotalKB: ")
                           + QString::number(context.Run.TotalKB));
}
