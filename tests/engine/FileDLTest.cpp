#include "engine/FileDL.h"
#include "engine/CurlMultiDriver.h"
#include "platform/SpoolFile.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

struct Event {
    enum Kind { Progress, Error, Complete } kind;
    qint64 progress = 0;
    QByteArray bytes;
    QString text;
};

// Records what one instance raises.
struct EventLog {
    explicit EventLog(FileDL &download) : dl(download)
    {
        QObject::connect(&dl, &FileDL::DownloadProgress, [this](int, const QString &, qint64 p) {
            events.push_back({Event::Progress, p});
        });
        QObject::connect(&dl, &FileDL::DownloadError, [this](int, const QString &, int32_t, const QString &t) {
            events.push_back({Event::Error, 0, {}, t});
        });
        QObject::connect(&dl, &FileDL::DownloadComplete, [this](int, const QString &, const DownloadedBody &b) {
            events.push_back({Event::Complete, 0, b.ReadAll()});
        });
    }
    int Count(Event::Kind kind) const
    {
        return int(std::count_if(events.begin(), events.end(), [kind](const Event &e) { return e.kind == kind; }));
    }
    bool Ended() const { return Count(Event::Progress) < int(events.size()); }

    FileDL &dl;
    std::vector<Event> events;
};

// The socket notifiers that follow the sockets libcurl keeps.
QList<QSocketNotifier *> Notifiers()
{
    return CurlMultiDriver::Shared()->findChildren<QSocketNotifier *>();
}

class FileDLTest : public ::testing::Test {
protected:
    std::unique_ptr<FileDL> Make(int index)
    {
        auto dl = std::make_unique<FileDL>(index);
        dl->SetSpoolFolder(spool.path());
        return dl;
    }
    // Downloads path afresh to its end; gives the kind of the last event.
    Event::Kind Fetch(EventLog &log, const QString &path)
    {
        log.events.clear();
        log.dl.BeginDownload(server.Url(path), "k");
        return WaitUntil([&] { return log.Ended(); }) ? log.events.back().kind : Event::Progress;
    }
    // No download may leave a spool file behind.
    void TearDown() override
    {
        const QStringList left = QDir(spool.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
    }

    TestHttpServer server;
    QTemporaryDir spool;
    QTemporaryDir output;
};

// The retry log line gives an HTTP failure's status line as the reason.
TEST_F(FileDLTest, AnHttpFailureIsDescribedByItsStatusLine)
{
    auto dl = Make(3);
    EventLog log(*dl);
    ASSERT_EQ(Fetch(log, "/status=500/size=5000/x.bin"), Event::Error);
    EXPECT_EQ(log.events.back().text, "HTTP/1.1 500 Internal Server Error");
}

// A body spooled on another file system cannot be saved by a rename; a copy
// could leave half a target, so the save fails and the target stays
// byte-identical.
TEST_F(FileDLTest, ASaveThatCannotBeARenameFailsAndKeepsTheTarget)
{
    struct stat shm = {}, out = {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(QFile::encodeName(output.path()), &out) != 0 ||
        shm.st_dev == out.st_dev)
        GTEST_SKIP() << "needs a second file system";
    const QString target = output.filePath("target.bin");
    ASSERT_TRUE(WriteFile(target, "precious"));
    DownloadedBody body;
    const QByteArray bytes = TestHttpServer::Body(0, 3 * 1024 * 1024);
    ASSERT_TRUE(body.Create("/dev/shm") && body.Append(bytes.constData(), bytes.size()));
    body.Close();

    EXPECT_FALSE(body.SaveTo(target));
    EXPECT_EQ(FileBytes(target), "precious");
    EXPECT_EQ(QDir(output.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"target.bin"});
}

// Where unnamed files are refused, the named spool file is hidden, becomes
// the target by a rename, and goes when the body goes or on demand (the
// second Ctrl+C).
TEST_F(FileDLTest, ANamedSpoolFileIsRenamedOrRemovedNeverLeft)
{
    const auto files = [this](QDir::Filters hidden) { return QDir(output.path()).entryList(QDir::Files | hidden); };
    SpoolFile::AllowUnnamedFiles(false);
    {
        DownloadedBody saved, dropped, removed;
        for (DownloadedBody *body : {&saved, &dropped, &removed}) {
            EXPECT_TRUE(body->Create(output.path()) && body->Append("abc", 3));
            body->Close();
            EXPECT_TRUE(body->IsNamed());
        }
        EXPECT_EQ(files(QDir::Hidden).filter(QRegularExpression(R"(^\.tavrin-.*\.part$)")).size(), 3);
        EXPECT_EQ(files({}), QStringList()) << "spool files are hidden";
        EXPECT_TRUE(saved.SaveTo(output.filePath("named.bin")));
        SpoolFile::RemoveNamedFiles();
        EXPECT_EQ(files(QDir::Hidden), QStringList{"named.bin"}) << "removed on demand";
    }
    SpoolFile::AllowUnnamedFiles(true);
    EXPECT_EQ(files(QDir::Hidden), QStringList{"named.bin"});
    EXPECT_EQ(FileBytes(output.filePath("named.bin")), "abc");
}

// A connection that is closed takes its notifiers along: at once when a
// cancel closes it, after the activation being handled when the server
// closes it; none stays enabled on a closed descriptor meanwhile.
TEST_F(FileDLTest, AClosedConnectionTakesItsNotifiersAlong)
{
    auto dl = Make(0);
    EventLog log(*dl);
    bool enabledOnesOpen = true;
    QObject::connect(dl.get(), &FileDL::DownloadError, [&] {
        for (QSocketNotifier *notifier : Notifiers())
            enabledOnesOpen =
                enabledOnesOpen && (!notifier->isEnabled() || fcntl(int(notifier->socket()), F_GETFD) != -1);
    });
    ASSERT_EQ(Fetch(log, "/size=1000/a.bin"), Event::Complete);
    const QList<QSocketNotifier *> kept = Notifiers();
    ASSERT_EQ(kept.size(), 2);
    const QPointer<QSocketNotifier> read(kept[0]), write(kept[1]);

    EXPECT_EQ(Fetch(log, "/size=100000/drop=5000/b.bin"), Event::Error);
    EXPECT_TRUE(enabledOnesOpen);
    EXPECT_TRUE(WaitUntil([&] { return !read && !write; }));

    log.events.clear();
    dl->BeginDownload(server.Url("/size=2000000/chunk=1000/chunkdelay=10/c.bin"), "k");
    ASSERT_TRUE(WaitUntil([&] { return !log.events.empty() && log.events.back().progress > 0; }));
    EXPECT_EQ(Notifiers().size(), 2);
    dl->Cancel("k");
    EXPECT_TRUE(Notifiers().isEmpty()) << "deleted by the cancel itself";
}

// A download faster than the event loop is held back every few MiB so that
// other events run (the run-level tests check that such bodies arrive
// exact); a cancel while it is held back leaves nothing for the next
// download on the same instance.
TEST_F(FileDLTest, AFastDownloadIsHeldBackForTheEventLoopAndACancelThenLeavesNothing)
{
    constexpr qint64 size = 30'000'000;
    auto dl = Make(0);
    EventLog log(*dl);
    // While the body streams in, libcurl watches the socket unless the
    // transfer is held back.
    int heldBackSeen = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const QList<QSocketNotifier *> notifiers = Notifiers();
        const bool watched =
            std::any_of(notifiers.begin(), notifiers.end(), [](QSocketNotifier *n) { return n->isEnabled(); });
        if (!dl->IsDownloading() || log.events.empty() || log.events.back().progress == 0 || watched)
            return;
        ++heldBackSeen;
        dl->Cancel("k");
    });
    ticker.start();
    dl->BeginDownload(server.Url(QStringLiteral("/size=%1/cancelled.bin").arg(size)), "k");
    ASSERT_TRUE(WaitUntil([&] { return !dl->IsDownloading(); }));
    EXPECT_EQ(heldBackSeen, 1);
    ticker.stop();

    dl->BeginDownload(server.Url(QStringLiteral("/size=%1/next.bin").arg(size / 2)), "k");
    ASSERT_TRUE(WaitUntil([&] { return log.Ended(); }));
    EXPECT_EQ(log.Count(Event::Error) + log.Count(Event::Complete), 1) << "no event from the cancelled download";
    EXPECT_EQ(log.events.back().kind, Event::Complete);
    EXPECT_TRUE(log.events.back().bytes == TestHttpServer::Body(0, size / 2));
}

} // namespace
