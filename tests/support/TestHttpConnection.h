#pragma once

#include <QByteArray>
#include <QObject>

class QTcpSocket;
class TestHttpServer;

// One client connection of TestHttpServer: reads requests one after another
// and answers each as its options say (see TestHttpServer.h). Lives in the
// server's thread, as a child of its socket.
class TestHttpConnection : public QObject {
    Q_OBJECT
public:
    TestHttpConnection(QTcpSocket *socket, TestHttpServer *server);

private:
    void ReadRequests();
    void Answer(const QByteArray &head);
    void ReadOptions(const QByteArray &target);
    void SendHead();
    void SendBody();
    void EndAnswer();
    void Closed();

    QTcpSocket *socket;
    TestHttpServer *server;
    QByteArray inbox;
    bool answering = false;
    bool sendingBody = false;
    bool waitingForChunk = false;
    bool closeAfter = false;

    // Options of the request being answered.
    int status = 200;
    qint64 size = 0;
    QByteArray location;
    int delay = 0;
    int chunk = 0;
    int chunkDelay = 0;
    bool noLength = false;
    qint64 drop = -1;

    qint64 sent = 0;
};
