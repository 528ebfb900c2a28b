#include "engine/DownloadQueue.h"

#include "util/Errors.h"
#include "util/NumberPicture.h"

#include <QStringMatcher>
#include <limits>

namespace {

const QStringMatcher First(QStringLiteral("#1#"), Qt::CaseSensitive);
const QStringMatcher Second(QStringLiteral("#2#"), Qt::CaseSensitive);

// Every occurrence of the marker, left to right, replaced by the number: what
// QString::replace gives, built without a matcher or a copy per call, since a
// long queue asks for millions of items.
QString Substituted(const QString &text, const QStringMatcher &marker, QStringView number)
{
    qsizetype at = marker.indexIn(text);
    if (at < 0)
        return text;
    const qsizetype markerSize = marker.pattern().size();
    QString result;
    result.reserve(text.size() + 2 * number.size());
    qsizetype from = 0;
    for (; at >= 0; at = marker.indexIn(text, from)) {
        result.append(QStringView(text).mid(from, at - from)).append(number);
        from = at + markerSize;
    }
    return result.append(QStringView(text).mid(from));
}

QStringView NameOfUrl(QStringView url)
{
    qsizetype cut = url.lastIndexOf(u'/');
    if (cut < 0)
        cut = url.lastIndexOf(u'\\');
    return url.mid(cut + 1);
}

} // namespace

int32_t DownloadQueue::QueueCount() const
{
    return count;
}

bool DownloadQueue::HasItem(int32_t k) const
{
    return k >= 1 && k <= count;
}

void DownloadQueue::Clear()
{
    *this = DownloadQueue();
}

void DownloadQueue::SetJob(int sequenceCount, const QString &urlTemplate, const QString &prefixTemplate,
    const QString &outputFolder, const JobSequence &firstSequence, const JobSequence &secondSequence)
{
    int64_t items = 1;
    if (sequenceCount >= 1)
        items = firstSequence.Count();
    if (sequenceCount == 2)
        items *= secondSequence.Count();
    if (items > std::numeric_limits<int32_t>::max())
        throw OverflowError();
    sequences = sequenceCount;
    url = urlTemplate;
    prefix = prefixTemplate;
    folder = outputFolder;
    first = firstSequence;
    second = secondSequence;
    count = static_cast<int32_t>(items);
    started = ItemMarks();
    done = ItemMarks();
}

// Item k is the (k - 1)th step of the loops over the sequences: the outer
// one over the first, the inner one over the second. Substitution is exact
// and replaces every occurrence, the first sequence before the second.
QueueItem DownloadQueue::Item(int32_t k) const
{
    if (!HasItem(k))
        throw SubscriptError();
    QString itemUrl = url;
    QString itemPrefix = prefix;
    if (sequences >= 1) {
        const int64_t index = k - 1;
        const int64_t inner = sequences == 2 ? second.Count() : 1;
        const QString num1 = FormatNumber(first.lower + index / inner, first.picture);
        itemUrl = Substituted(itemUrl, First, num1);
        itemPrefix = Substituted(itemPrefix, First, num1);
        if (sequences == 2) {
            const QString num2 = FormatNumber(second.lower + index % inner, second.picture);
            itemUrl = Substituted(itemUrl, Second, num2);
            itemPrefix = Substituted(itemPrefix, Second, num2);
        }
    }
    const QStringView name = NameOfUrl(itemUrl);
    QueueItem item;
    item.FileName.reserve(itemPrefix.size() + name.size());
    item.FileName.append(itemPrefix).append(name);
    item.TargetPath.reserve(folder.size() + item.FileName.size());
    item.TargetPath.append(folder).append(item.FileName);
    item.Url = std::move(itemUrl);
    item.Started = started.IsMarked(k);
    item.Done = done.IsMarked(k);
    return item;
}

void DownloadQueue::MarkStarted(int32_t k)
{
    started.Mark(k);
}

void DownloadQueue::MarkDone(int32_t k)
{
    done.Mark(k);
}

void DownloadQueue::ItemMarks::Mark(int32_t k)
{
    if (k < 1)
        return;
    const size_t index = static_cast<size_t>(k) - 1;
    const size_t page = index / PageItems;
    if (pages.size() <= page)
        pages.resize(page + 1);
    if (!pages[page])
        pages[page] = std::make_unique<std::bitset<PageItems>>();
    pages[page]->set(index % PageItems);
}

bool DownloadQueue::ItemMarks::IsMarked(int32_t k) const
{
    if (k < 1)
        return false;
    const size_t index = static_cast<size_t>(k) - 1;
    const size_t page = index / PageItems;
    return page < pages.size() && pages[page] && pages[page]->test(index % PageItems);
}

QString DownloadQueue::LogLine(const QueueItem &item)
{
    const QLatin1StringView between(" > ");
    QString line;
    line.reserve(item.Url.size() + between.size() + item.FileName.size());
    return line.append(item.Url).append(between).append(item.FileName);
}

QString DownloadQueue::FileNameOfUrl(const QString &url)
{
    return NameOfUrl(url).toString();
}
