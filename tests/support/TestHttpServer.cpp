#include "TestHttpServer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

constexpr qint64 MaxChunk = 65536;
// Stop writing while this much waits in the socket; bytesWritten resumes.
constexpr qint64 HighWater = 256 * 1024;

// One client connection: answers its requests one after another. Lives in
// the server's thread, as a child of its socket.
class Connection : public QObject {
public:
    Connection(QTcpSocket *client, TestHttpServer *owner) : QObject(client), socket(client), server(owner)
    {
        server->Update([](auto &r) { ++r.connections; });
        connect(socket, &QTcpSocket::readyRead, this, &Connection::Read);
        connect(socket, &QTcpSocket::bytesWritten, this, &Connection::Send);
        connect(socket, &QTcpSocket::disconnected, this, [this] {
            if (std::exchange(answering, false))
                this->server->Update([](auto &r) { --r.open; });
            this->socket->deleteLater();
        });
        Read();
    }

private:
    struct Options {
        qint64 size = 0, status = 200, delay = 0, chunk = MaxChunk, chunkdelay = 0, nolength = 0, drop = -1, exist = -1,
               gapfrom = -1, gapto = -1, dirs = -1, missingdelay = 0, softmissing = 0, failtimes = 0, failstatus = 503,
               failcut = -1, retryafter = -1, range = 0;
    };

    // The number of a path segment: its last run of digits (-1 for none).
    static qint64 NumberIn(const QByteArray &segment)
    {
        static const QRegularExpression last(R"((\d+)\D*$)");
        const QRegularExpressionMatch match = last.match(QString::fromLatin1(segment));
        return match.hasMatch() ? match.captured(1).toLongLong() : -1;
    }

    static QByteArray PathOf(const QByteArray &target) { return target.split('?').value(0); }

    // Counts the request of its path; true while the path has failures
    // left, and the options then say how it fails.
    bool FailsThisTime(const QByteArray &target)
    {
        int seen = 0;
        server->Update([&](auto &r) { seen = r.perPath[PathOf(target)]++; });
        retryAfter = false;
        if (seen >= options.failtimes)
            return false;
        if (options.failcut >= 0) {
            options.drop = options.failcut;
        } else {
            options.status = options.failstatus;
            options.size = 0;
        }
        retryAfter = options.retryafter >= 0;
        return true;
    }

    // The first byte asked for by "Range: bytes=A-", when the range option
    // honours it (0 otherwise).
    qint64 RangeStart(const QByteArray &head) const
    {
        static const QByteArray name = "\r\nrange: bytes=";
        const qsizetype at = head.toLower().indexOf(name);
        if (!options.range || at < 0)
            return 0;
        const qsizetype from = at + name.size();
        const qint64 first = head.mid(from, head.indexOf('-', from) - from).toLongLong();
        return first > 0 && first < options.size ? first : 0;
    }

    // A numbered file that the exist, gap and dirs options leave out.
    bool Missing(const QByteArray &target) const
    {
        const QList<QByteArray> segments = PathOf(target).split('/');
        const qint64 name = NumberIn(segments.value(segments.size() - 1));
        const qint64 dir = NumberIn(segments.value(segments.size() - 2));
        return (options.exist >= 0 && name > options.exist) ||
            (options.gapfrom >= 0 && name >= options.gapfrom && name <= options.gapto) ||
            (options.dirs >= 0 && dir > options.dirs);
    }

    void Read()
    {
        inbox += socket->readAll();
        const qsizetype end = inbox.indexOf("\r\n\r\n");
        if (answering || closing || end < 0)
            return;
        const QByteArray target = inbox.left(inbox.indexOf("\r\n")).split(' ').value(1);
        const QByteArray inboxHead = inbox.left(end);
        server->Update([head = QString::fromLatin1(inboxHead)](auto &r) { r.heads << head; });
        inbox.remove(0, end + 4);
        options = {};
        for (const QByteArray &item : QByteArray(target).replace('?', '/').replace('&', '/').split('/')) {
            const QList<QByteArray> pair = item.split('=');
            for (const auto &[name, field] :
                {std::pair{"size", &Options::size}, {"status", &Options::status}, {"delay", &Options::delay},
                    {"chunk", &Options::chunk}, {"chunkdelay", &Options::chunkdelay}, {"nolength", &Options::nolength},
                    {"drop", &Options::drop}, {"exist", &Options::exist}, {"gapfrom", &Options::gapfrom},
                    {"gapto", &Options::gapto}, {"dirs", &Options::dirs}, {"missingdelay", &Options::missingdelay},
                    {"softmissing", &Options::softmissing}, {"failtimes", &Options::failtimes},
                    {"failstatus", &Options::failstatus}, {"failcut", &Options::failcut},
                    {"retryafter", &Options::retryafter}, {"range", &Options::range}}) {
                if (pair.size() == 2 && pair[0] == name)
                    options.*field = QByteArray::fromPercentEncoding(pair[1]).toLongLong();
            }
        }
        const bool missing = Missing(target);
        if (missing) {
            options.delay += options.missingdelay;
            options.status = options.softmissing ? 200 : 404;
            options.size = options.softmissing ? 100 : 0;
        }
        const bool failing = FailsThisTime(target);
        offset = failing ? 0 : RangeStart(inboxHead);
        const QByteArray name = PathOf(target).toLower();
        const bool html = (missing && options.softmissing) || name.endsWith(".html") || name.endsWith(".htm");
        contentType = html ? "text/html; charset=utf-8" : "application/octet-stream";
        answering = true;
        server->Update([&target, at = server->Elapsed()](auto &r) {
            r.requests << QString::fromLatin1(target);
            r.times << at;
            r.maxOpen = std::max(r.maxOpen, ++r.open);
        });
        QTimer::singleShot(options.delay, this, [this] {
            if (!answering)
                return;
            const qint64 status = offset > 0 ? 206 : options.status;
            const char *reason = status == 200 ? "OK" : status == 500 ? "Internal Server Error" : "Status";
            QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
            head += options.nolength ? "Connection: close\r\n"
                                     : "Content-Length: " + QByteArray::number(options.size - offset) + "\r\n";
            if (offset > 0)
                head += "Content-Range: bytes " + QByteArray::number(offset) + '-' +
                    QByteArray::number(options.size - 1) + '/' + QByteArray::number(options.size) + "\r\n";
            if (retryAfter)
                head += "Retry-After: " + QByteArray::number(options.retryafter) + "\r\n";
            if (status >= 300 && status < 400)
                head += "Location: /moved\r\n";
            socket->write(head + "Content-Type: " + contentType + "\r\n\r\n");
            sent = offset;
            sendingBody = true;
            Send();
        });
    }

    void Send()
    {
        static const QByteArray pattern = TestHttpServer::Body(0, MaxChunk + 251);
        if (!sendingBody || waiting)
            return;
        const qint64 end = options.drop >= 0 ? std::min(options.drop, options.size) : options.size;
        while (sent < end) {
            if (socket->bytesToWrite() >= HighWater)
                return;
            const qint64 length = std::min({std::clamp(options.chunk, qint64(1), MaxChunk), end - sent});
            socket->write(pattern.constData() + sent % 251, length);
            sent += length;
            if (options.chunkdelay > 0 && sent < end) {
                waiting = true;
                QTimer::singleShot(options.chunkdelay, this, [this] {
                    waiting = false;
                    Send();
                });
                return;
            }
        }
        sendingBody = answering = false;
        server->Update([](auto &r) { --r.open; });
        if (options.drop >= 0 || options.nolength) {
            closing = true;
            socket->disconnectFromHost();
        } else if (!inbox.isEmpty()) {
            QTimer::singleShot(0, this, &Connection::Read); // a request that came in early
        }
    }

    QTcpSocket *socket;
    TestHttpServer *server;
    QByteArray inbox;
    Options options;
    QByteArray contentType;
    qint64 sent = 0, offset = 0;
    bool retryAfter = false;
    bool answering = false, sendingBody = false, waiting = false, closing = false;
};

} // namespace

TestHttpServer::TestHttpServer()
    : thread(QThread::create([this] {
          QTcpServer listener;
          QObject::connect(&listener, &QTcpServer::newConnection, &listener, [this, &listener] {
              while (QTcpSocket *socket = listener.nextPendingConnection())
                  new Connection(socket, this);
          });
          if (listener.listen(QHostAddress::LocalHost, 0))
              port = listener.serverPort();
          listening.release();
          QEventLoop().exec();
      }))
{
    // libcurl honours a proxy set in the environment: keep loopback off it.
    for (const char *name : {"no_proxy", "NO_PROXY"}) {
        const QByteArray current = qgetenv(name);
        if (!current.contains("127.0.0.1"))
            qputenv(name, current.isEmpty() ? QByteArray("127.0.0.1") : current + ",127.0.0.1");
    }
    clock.start();
    thread->start();
    listening.acquire();
}

// Ends the server's event loop; its sockets go with it, in its own thread.
TestHttpServer::~TestHttpServer()
{
    thread->quit();
    thread->wait();
}

QString TestHttpServer::Url(const QString &pathAndQuery) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(pathAndQuery);
}

// A prime period, so that a body shifted by any block size differs.
QByteArray TestHttpServer::Body(qint64 offset, qint64 length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i)
        bytes[i] = char((offset + i) % 251);
    return bytes;
}

quint16 TestHttpServer::DeadPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort(); // free again once probe is gone
}

bool WaitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}
