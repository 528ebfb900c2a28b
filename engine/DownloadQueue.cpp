#include "engine/DownloadQueue.h"

#include "log/RunLog.h"
#include "util/Errors.h"

int32_t DownloadQueue::QueueCount() const
{
    return static_cast<int32_t>(items.size());
}

QueueItem &DownloadQueue::Item(int32_t k)
{
    if (!HasItem(k))
        throw SubscriptError();
    return items[static_cast<size_t>(k) - 1];
}

bool DownloadQueue::HasItem(int32_t k) const
{
    return k >= 1 && k <= QueueCount();
}

void DownloadQueue::Clear()
{
    items.clear();
}

QString DownloadQueue::FileNameOfUrl(const QString &url)
{
    qsizetype cut = url.lastIndexOf(u'/');
    if (cut < 0)
        cut = url.lastIndexOf(u'\\');
    return url.mid(cut + 1);
}

void DownloadQueue::AddQueueItem(const QString &url, const QString &prefix, const QString &folder, const RunLog &log)
{
    QueueItem item;
    item.Url = url;
    item.FileName = prefix + FileNameOfUrl(url);
    item.TargetPath = folder + item.FileName;
    items.push_back(item);
    log.AddLogLine(url + QStringLiteral(" > ") + item.FileName);
}
