#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <cstdint>
#include <map>

// "Wait between requests to one server": when the next request to each host
// may start. A start pushes its host's next one on by the wait plus up to
// half of it at random; a server's Retry-After holds its host at least that
// long. With no wait and no hold every start may go at once.
class HostPacing {
public:
    // A new run: no host is held.
    void Begin();
    // The wait between starts from the next start on (0: none).
    void SetWait(int32_t ms);
    // No wait and no host held: every start may go at once.
    bool IsIdle() const { return waitMs == 0 && nextStart.empty(); }
    // Milliseconds before a request to url's host may start (0: now).
    qint64 RemainingMs(const QString &url) const;
    void Started(const QString &url);
    void Hold(const QString &url, qint64 ms);

private:
    static QString HostOf(const QString &url);
    void Defer(const QString &url, qint64 ms);

    int32_t waitMs = 0;
    std::map<QString, QDeadlineTimer> nextStart; // by host
};
