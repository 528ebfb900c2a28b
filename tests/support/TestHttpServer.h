#pragma once

#include "support/TestFiles.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSemaphore>
#include <QStringList>

#include <functional>
#include <memory>

class QThread;

// A small keep-alive HTTP/1.1 server on 127.0.0.1, in a thread of its own so
// that the code under test may run nested event loops or block a moment.
// Each request is answered as its key=value path segments or query
// parameters say (other segments are just names), e.g.
//     /size=30000000/big.bin    /slow.bin?size=100000&chunk=1000&chunkdelay=20
//   size=N         body length (default 0), the bytes of Body(0, N)
//   status=N       status code (default 200); a 3xx has "Location: /moved"
//   delay=MS       wait before answering
//   chunk=N        bytes per write (default and maximum 65536)
//   chunkdelay=MS  wait between two writes
//   nolength=1     no Content-Length: the body ends when the connection closes
//   drop=N         close the connection after N body bytes
// Numbered files (the number of a segment is its last run of digits): a
// file that these leave out is answered 404, with no body:
//   exist=K        names numbered above K
//   gapfrom=A, gapto=B  names numbered A to B
//   dirs=D         everything in folders numbered above D
//   missingdelay=MS  a missing file's answer waits this long
//   softmissing=1  a missing file is answered 200 with an HTML page
// A path that fails a few times first (counted per path), then answers:
//   failtimes=K    the first K requests fail: status 503 with no body, or
//   failstatus=N   with this status, or
//   failcut=N      with the body cut (connection closed) after N bytes
//   retryafter=V   a failing answer carries "Retry-After: V"
//   range=1        "Range: bytes=A-" is answered 206 from byte A
// Names ending in .htm or .html are sent as text/html, others as
// application/octet-stream.
// It records the request targets in arrival order with their arrival times,
// counts connections and tracks how many requests were open at once
// (arrival to end of answer).
class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer &) = delete;
    TestHttpServer &operator=(const TestHttpServer &) = delete;

    // "http://127.0.0.1:PORT" followed by pathAndQuery (which starts with /).
    QString Url(const QString &pathAndQuery) const;
    QStringList Requests() const { return Snapshot().requests; }
    // The request lines and header lines of every request, in arrival order.
    QStringList Heads() const { return Snapshot().heads; }
    // When each request arrived, in milliseconds since the server started.
    QList<qint64> Times() const { return Snapshot().times; }
    qint64 Elapsed() const { return clock.elapsed(); }
    int OpenRequests() const { return Snapshot().open; }
    int MaxOpenRequests() const { return Snapshot().maxOpen; }
    int Connections() const { return Snapshot().connections; }

    static QByteArray Body(qint64 offset, qint64 length);
    // A port on 127.0.0.1 where nothing listens.
    static quint16 DeadPort();

    // What the connections record, in the server's thread.
    struct Record {
        QStringList requests, heads;
        QList<qint64> times;
        QHash<QByteArray, int> perPath;
        int open = 0, maxOpen = 0, connections = 0;
    };
    void Update(const std::function<void(Record &)> &change)
    {
        QMutexLocker lock(&mutex);
        change(record);
    }

private:
    Record Snapshot() const
    {
        QMutexLocker lock(&mutex);
        return record;
    }

    std::unique_ptr<QThread> thread;
    QSemaphore listening;
    quint16 port = 0;
    QElapsedTimer clock;
    mutable QMutex mutex;
    Record record;
};

// Runs the event loop until done() holds or timeoutMs passes.
bool WaitUntil(const std::function<bool()> &done, int timeoutMs = 10000);
