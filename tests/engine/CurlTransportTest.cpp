#include "engine/CurlMultiDriver.h"
#include "engine/FileDL.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QPointer>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>

// The transport under FileDL: socket notifiers that follow the sockets
// libcurl keeps, and fast downloads that give the event loop its turns.
namespace {

QList<QSocketNotifier *> Notifiers()
{
    return CurlMultiDriver::Shared()->findChildren<QSocketNotifier *>();
}

// No enabled notifier may sit on a number that is not an open descriptor.
bool EnabledOnesAreOpen()
{
    for (QSocketNotifier *notifier : Notifiers())
        if (notifier->isEnabled() && fcntl(int(notifier->socket()), F_GETFD) == -1)
            return false;
    return true;
}

class CurlTransportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dl.SetSpoolFolder(spool.path());
        QObject::connect(&dl, &FileDL::DownloadProgress, [this](int, const QString &, qint64 progress) {
            bytesSoFar = progress;
        });
        QObject::connect(&dl, &FileDL::DownloadError, [this](int, const QString &, int32_t, const QString &text) {
            ++ends;
            error = text;
            openOnesOnlyAtTheEnd = openOnesOnlyAtTheEnd && EnabledOnesAreOpen();
        });
        QObject::connect(&dl, &FileDL::DownloadComplete, [this](int, const QString &, const DownloadedBody &body) {
            ++ends;
            error.clear();
            saved = body.SaveTo(output.filePath("out.bin"));
        });
    }
    void TearDown() override
    {
        const QStringList left = QDir(spool.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
    }
    // Downloads path to completion or failure; true when it was saved.
    bool Fetch(const QString &path)
    {
        const int before = ends;
        saved = false;
        bytesSoFar = 0;
        dl.BeginDownload(server.Url(path), "k");
        return WaitUntil([&] { return ends > before; }) && saved;
    }

    TestHttpServer server;
    QTemporaryDir spool;
    QTemporaryDir output;
    FileDL dl{0};
    int ends = 0;
    bool saved = false;
    QString error;
    qint64 bytesSoFar = 0;
    bool openOnesOnlyAtTheEnd = true;
};

// A connection that is closed takes its notifiers along: at once when a
// cancel closes it, after the activation being handled when the server
// closes it; none stays enabled on the closed descriptor meanwhile.
TEST_F(CurlTransportTest, ClosedConnectionTakesItsNotifiersAlong)
{
    ASSERT_TRUE(Fetch("/size=1000/a.bin")) << error.toStdString();
    const QList<QSocketNotifier *> kept = Notifiers();
    ASSERT_EQ(kept.size(), 2);
    const QPointer<QSocketNotifier> read(kept[0]), write(kept[1]);

    EXPECT_FALSE(Fetch("/size=100000/drop=5000/b.bin"));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(openOnesOnlyAtTheEnd);
    EXPECT_TRUE(WaitUntil([&] { return !read && !write; }));

    bytesSoFar = 0;
    dl.BeginDownload(server.Url("/size=2000000/chunk=1000/chunkdelay=10/c.bin"), "k");
    ASSERT_TRUE(WaitUntil([&] { return bytesSoFar > 0; }));
    EXPECT_EQ(Notifiers().size(), 2);
    dl.Cancel("k");
    EXPECT_TRUE(Notifiers().isEmpty()) << "deleted by the cancel itself";

    ASSERT_TRUE(Fetch("/size=3000/d.bin")) << error.toStdString();
    EXPECT_EQ(FileBytes(output.filePath("out.bin")), TestHttpServer::Body(0, 3000));
    EXPECT_EQ(server.Connections(), 3);
    EXPECT_EQ(Notifiers().size(), 2);
}

// A download faster than the event loop is held back every few MiB so that
// other events run; what it holds back arrives later, and a cancel while it
// is held back leaves nothing for the next download on the same instance.
TEST_F(CurlTransportTest, FastDownloadIsHeldBackForTheEventLoopAndArrivesExact)
{
    constexpr qint64 size = 30'000'000;
    // While the body streams in, libcurl watches the socket unless the
    // transfer is held back.
    int heldBackSeen = 0;
    bool cancelWhenHeldBack = false;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const QList<QSocketNotifier *> notifiers = Notifiers();
        const bool watched = std::any_of(notifiers.begin(), notifiers.end(),
                                         [](QSocketNotifier *n) { return n->isEnabled(); });
        if (!dl.IsDownloading() || bytesSoFar == 0 || watched)
            return;
        ++heldBackSeen;
        if (cancelWhenHeldBack)
            dl.Cancel("k");
    });
    ticker.start();

    ASSERT_TRUE(Fetch(QStringLiteral("/size=%1/big.bin").arg(size))) << error.toStdString();
    EXPECT_GE(heldBackSeen, 1);
    EXPECT_EQ(FileBytes(output.filePath("out.bin")), TestHttpServer::Body(0, size));

    heldBackSeen = 0;
    cancelWhenHeldBack = true;
    const int before = ends;
    bytesSoFar = 0;
    dl.BeginDownload(server.Url(QStringLiteral("/size=%1/cancelled.bin").arg(size)), "k");
    ASSERT_TRUE(WaitUntil([&] { return !dl.IsDownloading(); }));
    EXPECT_EQ(heldBackSeen, 1);
    ticker.stop();

    ASSERT_TRUE(Fetch(QStringLiteral("/size=%1/next.bin").arg(size / 2))) << error.toStdString();
    EXPECT_EQ(ends, before + 1) << "no event from the cancelled download";
    EXPECT_EQ(FileBytes(output.filePath("out.bin")), TestHttpServer::Body(0, size / 2));
}

} // namespace
