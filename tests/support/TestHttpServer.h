#pragma once

#include <QByteArray>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QStringList>

#include <memory>

class QThread;

// A small HTTP/1.1 server for tests, on 127.0.0.1 at a free port, running in
// a thread of its own so that the code under test may run nested event loops
// or block for a moment without starving it. Connections are kept alive.
//
// What a request gets is set per request, by path segments of the form
// key=value or by query parameters (both may be mixed; other segments are
// just names; values are percent-decoded), e.g.
//     /size=30000000/big.bin
//     /status=302/pic01.jpg?location=http%3A%2F%2F127.0.0.1%3A1%2Fx
//     /slow.bin?size=100000&chunk=1000&chunkdelay=20
// Path segments suit tests that derive file names from the URL's last
// segment; a value with "/" in it goes in the query.
//
//   size=N         body length in bytes (default 0); byte i is BodyByte(i)
//   status=N       status code (default 200)
//   location=URL   Location header (default /moved); sent with any 3xx
//   delay=MS       wait before sending the answer
//   chunk=N        bytes per write (default and maximum 65536)
//   chunkdelay=MS  wait between two writes
//   nolength=1     no Content-Length: the body ends when the connection closes
//   drop=N         close the connection after N body bytes, although the
//                  Content-Length announces size
//   close=1        close the connection after the answer
//
// It records every request (target and arrival order), counts connections,
// and tracks how many requests were open at once: from the arrival of the
// request to the end of its answer.
class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer &) = delete;
    TestHttpServer &operator=(const TestHttpServer &) = delete;

    quint16 Port() const;
    // "http://127.0.0.1:PORT" followed by pathAndQuery (which starts with /).
    QString Url(const QString &pathAndQuery) const;

    // Request targets (path and query) in arrival order.
    QStringList Requests() const;
    int OpenRequests() const;
    int MaxOpenRequests() const;
    int Connections() const;
    void ResetCounts();

    static char BodyByte(qint64 position);
    static QByteArray Body(qint64 offset, qint64 length);
    // A port on 127.0.0.1 where nothing listens.
    static quint16 DeadPort();

    // Called by the connections, in the server's thread.
    void ConnectionOpened();
    void RequestStarted(const QByteArray &target);
    void RequestEnded();

private:
    void Serve();

    std::unique_ptr<QThread> thread;
    QSemaphore listening;
    quint16 port = 0;

    mutable QMutex mutex;
    QStringList requests;
    int open = 0;
    int maxOpen = 0;
    int connections = 0;
};
