#include "engine/JobExpander.h"

#include "app/AppSettings.h"
#include "app/JobTable.h"
#include "controls/grid/GridStore.h"
#include "engine/FetchContext.h"
#include "engine/PathVariables.h"
#include "log/RunLog.h"
#include "util/Errors.h"
#include "util/NumberPicture.h"
#include "util/Numbers.h"

#include <limits>

namespace {

const QString First = QStringLiteral("#1#");
const QString Second = QStringLiteral("#2#");

QString Substituted(QString text, const QString &marker, const QString &number)
{
    return text.replace(marker, number, Qt::CaseSensitive);
}

} // namespace

JobExpander::JobExpander(FetchContext &fetchContext) : context(fetchContext) {}

int JobExpander::SequencesUsed(const QString &url)
{
    if (url.indexOf(First, 0, Qt::CaseInsensitive) <= 0)
        return 0;
    return url.indexOf(Second, 0, Qt::CaseInsensitive) > 0 ? 2 : 1;
}

void JobExpander::ExpandJob(int32_t row, bool countOnly)
{
    context.Queue.Clear();
    const QString prefix = context.Jobs.JobText(row, JobColPrefix);
    const QString output = context.Jobs.JobText(row, JobColOutput);
    const QString url = context.Jobs.JobText(row, JobColUrl);

    QString folder = output;
    ResolveOutputFolder(folder, context.Settings.DataFolder);
    if (folder.isEmpty()) {
        context.Log.AddLogLine(QStringLiteral("Unable to Access Output Folder : ") + output);
        // The counting pass sees every checked job once.
        if (countOnly)
            ++context.Run.SkippedJobs;
        return;
    }

    const int sequences = SequencesUsed(url);
    const Sequence first{LeadingLong(context.Jobs.JobText(row, JobColL1)),
                         LeadingLong(context.Jobs.JobText(row, JobColU1)),
                         context.Jobs.JobText(row, JobColFormat1)};
    const Sequence second{LeadingLong(context.Jobs.JobText(row, JobColL2)),
                          LeadingLong(context.Jobs.JobText(row, JobColU2)),
                          context.Jobs.JobText(row, JobColFormat2)};
    if (countOnly)
        CountUrls(sequences, first, second);
    else
        QueueUrls(sequences, first, second, url, prefix, folder);
}

// Counting needs no loop: the counting pass of a huge range takes no time,
// and a count beyond the 32-bit range is the overflow the loop would meet.
void JobExpander::CountUrls(int sequences, const Sequence &first, const Sequence &second)
{
    int64_t count = 1;
    if (sequences >= 1)
        count = first.Count();
    if (sequences == 2)
        count *= second.Count();
    const int64_t total = int64_t(context.Run.TotalCount) + count;
    if (total > std::numeric_limits<int32_t>::max())
        throw OverflowError();
    context.Run.TotalCount = static_cast<int32_t>(total);
}

// The loop counters are 64-bit so that an upper bound of the largest 32-bit
// value ends the loop instead of wrapping around.
void JobExpander::QueueUrls(int sequences, const Sequence &first, const Sequence &second, const QString &url,
                            const QString &prefix, const QString &folder)
{
    if (sequences == 0) {
        context.Queue.AddQueueItem(url, prefix, folder, context.Log);
        return;
    }
    for (int64_t i = first.lower; i <= first.upper; ++i) {
        const QString num1 = FormatNumber(i, first.picture);
        const QString url1 = Substituted(url, First, num1);
        const QString prefix1 = Substituted(prefix, First, num1);
        if (sequences == 1) {
            context.Queue.AddQueueItem(url1, prefix1, folder, context.Log);
            continue;
        }
        for (int64_t j = second.lower; j <= second.upper; ++j) {
            const QString num2 = FormatNumber(j, second.picture);
            context.Queue.AddQueueItem(Substituted(url1, Second, num2), Substituted(prefix1, Second, num2), folder,
                                       context.Log);
        }
    }
}
