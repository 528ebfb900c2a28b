#include "engine/HostPacing.h"

#include <QRandomGenerator>
#include <QUrl>
#include <algorithm>

namespace {

// Rounded up, so that a start never comes a fraction early.
qint64 RemainingMsOf(const QDeadlineTimer &deadline)
{
    return (deadline.remainingTimeNSecs() + 999999) / 1000000;
}

} // namespace

void HostPacing::Begin()
{
    nextStart.clear();
}

void HostPacing::SetWait(int32_t ms)
{
    waitMs = std::max(ms, 0);
}

qint64 HostPacing::RemainingMs(const QString &url) const
{
    if (IsIdle())
        return 0;
    const auto held = nextStart.find(HostOf(url));
    return held == nextStart.end() ? 0 : RemainingMsOf(held->second);
}

void HostPacing::Started(const QString &url)
{
    if (waitMs > 0)
        Defer(url, waitMs + QRandomGenerator::global()->bounded(waitMs / 2 + 1));
}

void HostPacing::Hold(const QString &url, qint64 ms)
{
    Defer(url, ms);
}

// A later time wins: a hold is never shortened by a start.
void HostPacing::Defer(const QString &url, qint64 ms)
{
    const QDeadlineTimer until(ms, Qt::PreciseTimer);
    const auto [host, added] = nextStart.try_emplace(HostOf(url), until);
    if (!added && until.deadlineNSecs() > host->second.deadlineNSecs())
        host->second = until;
}

QString HostPacing::HostOf(const QString &url)
{
    return QUrl(url, QUrl::TolerantMode).host();
}
