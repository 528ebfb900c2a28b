#pragma once

#include "engine/DownloadedBody.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// "Retry failed downloads N times": the items of the queue's job that failed
// for a transient reason wait here for their next attempt, each with the
// bytes that had arrived. A waiting item holds no slot. A limit of 0 turns
// the rule off: nothing ever waits.
class RetrySchedule {
public:
    struct Retry {
        int32_t Item = 0;
        std::unique_ptr<DownloadedBody> Partial; // nullptr: start over
    };

    // A new job's queue with the rule's limit N.
    void Begin(int32_t limitN);
    bool IsOn() const { return limit > 0; }
    int32_t Limit() const { return limit; }
    // Which retry item k's next one would be (1 for the first), or 0 when
    // it has had all of them.
    int NextAttempt(int32_t k) const;
    // Item k is tried again after delayMs, continuing partial when given.
    void Schedule(int32_t k, qint64 delayMs, std::unique_ptr<DownloadedBody> partial);
    bool Pending() const { return !waiting.empty(); }
    bool HasDue() const;
    // Milliseconds until the next retry is due (0 when one is; -1 for none).
    qint64 UntilNextDue() const;
    // The first retry whose time has come, taken out of the schedule.
    std::optional<Retry> TakeDue();
    // Drops every waiting retry and its bytes (the run stopped).
    void Clear();

    // The wait before retry K: 1 s, 2 s, 4 s, ... at most 60 s.
    static qint64 BackoffMs(int attempt);
    // The wait a Retry-After header asks for, in seconds or as an HTTP date
    // (after now), at most 300 s; -1 when it is absent or unreadable.
    static qint64 RetryAfterMs(const QString &header, const QDateTime &now);

private:
    struct Waiting {
        QDeadlineTimer due;
        Retry retry;
    };

    int32_t limit = 0;
    std::map<int32_t, int> attempts; // item -> retries given
    std::vector<Waiting> waiting;    // in the order they failed
};
