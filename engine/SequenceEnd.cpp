#include "engine/SequenceEnd.h"

#include "engine/DownloadQueue.h"

#include <QRegularExpression>
#include <algorithm>

void SequenceEnd::Begin(int32_t limitN, const DownloadQueue &queue)
{
    *this = SequenceEnd();
    // A job without a sequence is one file, not a sequence to end.
    if (queue.Sequences() == 0)
        return;
    limit = std::max(limitN, 0);
    sequences = queue.Sequences();
    count = queue.QueueCount();
    perGroup = std::max<int64_t>(queue.ItemsPerOuterValue(), 1);
}

int64_t SequenceEnd::GroupLast(int64_t group) const
{
    return std::min(GroupFirst(group) + perGroup - 1, count);
}

int32_t SequenceEnd::Missing(int32_t k)
{
    if (!IsOn() || k < 1 || k > count || Skips(k))
        return 0;
    missing.insert(k);
    const int64_t group = Group(k);
    int64_t first = k;
    while (first > GroupFirst(group) && missing.count(first - 1) != 0)
        --first;
    int64_t last = k;
    while (last < GroupLast(group) && missing.count(last + 1) != 0)
        ++last;
    if (last - first + 1 < limit)
        return 0;
    const int64_t end = first + limit - 1;
    const bool endsJob = sequences == 1 || first == GroupFirst(group);
    if (endsJob) {
        if (jobEnd != 0)
            return 0;
        jobEnd = end;
    } else if (!groupEnds.emplace(group, end).second) {
        return 0;
    }
    return static_cast<int32_t>(end);
}

bool SequenceEnd::Skips(int64_t k) const
{
    if (!IsOn())
        return false;
    if (jobEnd != 0 && k > jobEnd)
        return true;
    const auto ended = groupEnds.find(Group(k));
    return ended != groupEnds.end() && k > ended->second;
}

int64_t SequenceEnd::NextToRequest(int64_t k) const
{
    if (!IsOn())
        return k;
    while (k <= count && Skips(k)) {
        if (jobEnd != 0 && k > jobEnd)
            return count + 1;
        k = GroupLast(Group(k)) + 1;
    }
    return k;
}

bool SequenceEnd::AnswerIsMissing(int httpStatus, const QString &contentType, const QString &url)
{
    if (httpStatus == 404 || httpStatus == 410)
        return true;
    if (httpStatus != 200)
        return false;
    const QString type = contentType.section(u';', 0, 0).trimmed();
    if (type.compare(QStringLiteral("text/html"), Qt::CaseInsensitive) != 0)
        return false;
    const qsizetype query = url.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    const QString name = DownloadQueue::FileNameOfUrl(url.left(query));
    return !name.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive) &&
        !name.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive);
}
