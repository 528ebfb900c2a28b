#include "engine/RetrySchedule.h"

#include <QLocale>
#include <algorithm>

namespace {

constexpr qint64 LongestBackoffMs = 60 * 1000;
constexpr qint64 LongestRetryAfterMs = 300 * 1000;

// "Sun, 06 Nov 1994 08:49:37 GMT", the form HTTP sends, or another that
// RFC 2822 allows.
QDateTime HttpDate(const QString &text)
{
    if (text.endsWith(QLatin1String(" GMT"))) {
        QDateTime when = QLocale::c().toDateTime(text.chopped(4), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss"));
        if (when.isValid()) {
            when.setTimeSpec(Qt::UTC);
            return when;
        }
    }
    return QDateTime::fromString(text, Qt::RFC2822Date);
}

} // namespace

void RetrySchedule::Begin(int32_t limitN)
{
    limit = std::max(limitN, 0);
    attempts.clear();
    waiting.clear();
}

int RetrySchedule::NextAttempt(int32_t k) const
{
    const auto given = attempts.find(k);
    const int next = given == attempts.end() ? 1 : given->second + 1;
    return next <= limit ? next : 0;
}

void RetrySchedule::Schedule(int32_t k, qint64 delayMs, std::unique_ptr<DownloadedBody> partial)
{
    ++attempts[k];
    waiting.push_back({QDeadlineTimer(delayMs, Qt::PreciseTimer), Retry{k, std::move(partial)}});
}

bool RetrySchedule::HasDue() const
{
    return std::any_of(waiting.begin(), waiting.end(), [](const Waiting &w) { return w.due.hasExpired(); });
}

qint64 RetrySchedule::UntilNextDue() const
{
    qint64 soonest = -1;
    for (const Waiting &w : waiting) {
        const qint64 left = w.due.remainingTime();
        soonest = soonest < 0 ? left : std::min(soonest, left);
    }
    return soonest;
}

std::optional<RetrySchedule::Retry> RetrySchedule::TakeDue()
{
    const auto due = std::find_if(waiting.begin(), waiting.end(), [](const Waiting &w) { return w.due.hasExpired(); });
    if (due == waiting.end())
        return std::nullopt;
    Retry retry = std::move(due->retry);
    waiting.erase(due);
    return retry;
}

void RetrySchedule::Clear()
{
    waiting.clear();
}

qint64 RetrySchedule::BackoffMs(int attempt)
{
    return std::min(LongestBackoffMs, qint64(1000) << std::clamp(attempt - 1, 0, 6));
}

qint64 RetrySchedule::RetryAfterMs(const QString &header, const QDateTime &now)
{
    const QString text = header.trimmed();
    bool isNumber = false;
    const qint64 seconds = text.toLongLong(&isNumber);
    if (isNumber)
        return seconds < 0 ? -1 : std::min(seconds, LongestRetryAfterMs / 1000) * 1000;
    const QDateTime when = HttpDate(text);
    if (!when.isValid())
        return -1;
    return std::clamp(now.msecsTo(when), qint64(0), LongestRetryAfterMs);
}
