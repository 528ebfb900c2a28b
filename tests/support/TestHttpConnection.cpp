#include "TestHttpConnection.h"

#include "TestHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int MaxChunk = 65536;
// Stop writing while this much waits in the socket; bytesWritten resumes.
constexpr qint64 HighWater = 256 * 1024;

// The body pattern from any offset, one chunk long, without generating it.
const char *BodyAt(qint64 offset)
{
    static const QByteArray pattern = TestHttpServer::Body(0, MaxChunk + 251);
    return pattern.constData() + offset % 251;
}

QByteArray Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

} // namespace

TestHttpConnection::TestHttpConnection(QTcpSocket *socket, TestHttpServer *server)
    : QObject(socket), socket(socket), server(server)
{
    server->ConnectionOpened();
    connect(socket, &QTcpSocket::readyRead, this, &TestHttpConnection::ReadRequests);
    connect(socket, &QTcpSocket::bytesWritten, this, &TestHttpConnection::SendBody);
    connect(socket, &QTcpSocket::disconnected, this, &TestHttpConnection::Closed);
    ReadRequests();
}

void TestHttpConnection::ReadRequests()
{
    inbox += socket->readAll();
    while (!answering && !closeAfter) {
        const qsizetype end = inbox.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = inbox.left(end);
        inbox.remove(0, end + 4);
        Answer(head);
    }
}

void TestHttpConnection::Answer(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    const QByteArray target = requestLine.value(1);
    closeAfter = requestLine.value(2) == "HTTP/1.0";
    for (const QByteArray &line : lines) {
        if (line.trimmed().toLower() == "connection: close")
            closeAfter = true;
    }
    ReadOptions(target);
    answering = true;
    server->RequestStarted(target);
    if (delay > 0)
        QTimer::singleShot(delay, this, &TestHttpConnection::SendHead);
    else
        SendHead();
}

void TestHttpConnection::ReadOptions(const QByteArray &target)
{
    status = 200;
    size = 0;
    location = "/moved";
    delay = 0;
    chunk = MaxChunk;
    chunkDelay = 0;
    noLength = false;
    drop = -1;
    const qsizetype query = target.indexOf('?');
    QList<QByteArray> items = (query < 0 ? target : target.left(query)).split('/');
    if (query >= 0)
        items += target.mid(query + 1).split('&');
    for (const QByteArray &item : items) {
        const qsizetype equals = item.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray name = item.left(equals);
        const QByteArray value = QByteArray::fromPercentEncoding(item.mid(equals + 1));
        if (name == "size")
            size = value.toLongLong();
        else if (name == "status")
            status = value.toInt();
        else if (name == "location")
            location = value;
        else if (name == "delay")
            delay = value.toInt();
        else if (name == "chunk")
            chunk = std::clamp(value.toInt(), 1, MaxChunk);
        else if (name == "chunkdelay")
            chunkDelay = value.toInt();
        else if (name == "nolength")
            noLength = value == "1";
        else if (name == "drop")
            drop = value.toLongLong();
        else if (name == "close")
            closeAfter = closeAfter || value == "1";
    }
}

void TestHttpConnection::SendHead()
{
    if (!answering)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + Reason(status) + "\r\n";
    if (!noLength)
        head += "Content-Length: " + QByteArray::number(size) + "\r\n";
    if (status >= 300 && status < 400)
        head += "Location: " + location + "\r\n";
    head += "Content-Type: application/octet-stream\r\n";
    if (noLength || closeAfter)
        head += "Connection: close\r\n";
    head += "\r\n";
    socket->write(head);
    sent = 0;
    sendingBody = true;
    SendBody();
}

void TestHttpConnection::SendBody()
{
    if (!sendingBody || waitingForChunk)
        return;
    const qint64 end = drop >= 0 ? std::min(drop, size) : size;
    while (sent < end) {
        if (socket->bytesToWrite() >= HighWater)
            return;
        const qint64 length = std::min<qint64>(chunk, end - sent);
        socket->write(BodyAt(sent), length);
        sent += length;
        if (chunkDelay > 0 && sent < end) {
            waitingForChunk = true;
            QTimer::singleShot(chunkDelay, this, [this] {
                waitingForChunk = false;
                SendBody();
            });
            return;
        }
    }
    sendingBody = false;
    EndAnswer();
}

void TestHttpConnection::EndAnswer()
{
    answering = false;
    server->RequestEnded();
    if (drop >= 0 || noLength || closeAfter) {
        closeAfter = true;
        socket->disconnectFromHost();
    } else if (!inbox.isEmpty()) {
        // A request that came in early; answered after this call returns.
        QTimer::singleShot(0, this, &TestHttpConnection::ReadRequests);
    }
}

void TestHttpConnection::Closed()
{
    if (answering) {
        answering = false;
        server->RequestEnded();
    }
    sendingBody = false;
    socket->deleteLater();
}
