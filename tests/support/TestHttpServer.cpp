#include "TestHttpServer.h"

#include "TestHttpConnection.h"

#include <QEventLoop>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>

namespace {

// A proxy configured in the environment must not see the tests' loopback
// traffic: libcurl honours these variables.
void KeepLoopbackOffProxies()
{
    for (const char *name : {"no_proxy", "NO_PROXY"}) {
        const QByteArray current = qgetenv(name);
        if (!current.contains("127.0.0.1"))
            qputenv(name, current.isEmpty() ? QByteArray("127.0.0.1") : current + ",127.0.0.1");
    }
}

} // namespace

TestHttpServer::TestHttpServer() : thread(QThread::create([this] { Serve(); }))
{
    KeepLoopbackOffProxies();
    thread->start();
    listening.acquire();
}

TestHttpServer::~TestHttpServer()
{
    // Ends the server's event loop; its sockets and connections are
    // destroyed in its own thread on the way out.
    thread->quit();
    thread->wait();
}

void TestHttpServer::Serve()
{
    QTcpServer listener;
    QObject::connect(&listener, &QTcpServer::newConnection, &listener, [this, &listener] {
        while (QTcpSocket *socket = listener.nextPendingConnection())
            new TestHttpConnection(socket, this);
    });
    if (listener.listen(QHostAddress::LocalHost, 0))
        port = listener.serverPort();
    listening.release();
    QEventLoop loop;
    loop.exec();
}

quint16 TestHttpServer::Port() const
{
    return port;
}

QString TestHttpServer::Url(const QString &pathAndQuery) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(pathAndQuery);
}

QStringList TestHttpServer::Requests() const
{
    QMutexLocker lock(&mutex);
    return requests;
}

int TestHttpServer::OpenRequests() const
{
    QMutexLocker lock(&mutex);
    return open;
}

int TestHttpServer::MaxOpenRequests() const
{
    QMutexLocker lock(&mutex);
    return maxOpen;
}

int TestHttpServer::Connections() const
{
    QMutexLocker lock(&mutex);
    return connections;
}

void TestHttpServer::ResetCounts()
{
    QMutexLocker lock(&mutex);
    requests.clear();
    maxOpen = open;
    connections = 0;
}

char TestHttpServer::BodyByte(qint64 position)
{
    // A prime period, so that a body shifted by any block size differs.
    return char(position % 251);
}

QByteArray TestHttpServer::Body(qint64 offset, qint64 length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i)
        bytes[i] = BodyByte(offset + i);
    return bytes;
}

quint16 TestHttpServer::DeadPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 free = probe.serverPort();
    probe.close();
    return free;
}

void TestHttpServer::ConnectionOpened()
{
    QMutexLocker lock(&mutex);
    ++connections;
}

void TestHttpServer::RequestStarted(const QByteArray &target)
{
    QMutexLocker lock(&mutex);
    requests.append(QString::fromLatin1(target));
    maxOpen = std::max(maxOpen, ++open);
}

void TestHttpServer::RequestEnded()
{
    QMutexLocker lock(&mutex);
    --open;
}
