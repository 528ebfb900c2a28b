#include "engine/FileDL.h"
#include "engine/CurlMultiDriver.h"
#include "platform/SpoolFile.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

struct Event {
    enum Kind { Progress, Error, Complete } kind;
    int index;
    QString key;
    qint64 progress, max;
    int32_t code;
    QString text;
    QByteArray bytes; // bodies up to 1 MiB
    bool busyInside = false;
};

// Records what one instance raises, saves the body to saveTo if set, and
// runs a hook inside the handler after recording.
struct EventLog {
    explicit EventLog(FileDL &download) : dl(download)
    {
        QObject::connect(&dl, &FileDL::DownloadProgress,
            [this](int i, const QString &k, qint64 p, qint64 m, int32_t s, const QString &t) {
                Record({Event::Progress, i, k, p, m, s, t});
            });
        QObject::connect(&dl, &FileDL::DownloadError, [this](int i, const QString &k, int32_t c, const QString &t) {
            Record({Event::Error, i, k, 0, 0, c, t});
        });
        QObject::connect(
            &dl, &FileDL::DownloadComplete, [this](int i, const QString &k, const DownloadedBody &b, int32_t c) {
                Event e{Event::Complete, i, k, 0, 0, c};
                if (b.Size() <= 1 << 20)
                    e.bytes = b.ReadAll();
                if (!saveTo.isEmpty())
                    b.SaveTo(saveTo);
                Record(e);
            });
    }
    void Record(Event e)
    {
        e.busyInside = dl.IsDownloading();
        events.push_back(e);
        maxDepth = std::max(maxDepth, ++depth);
        if (after)
            after(events.back());
        --depth;
    }
    // Runs one more download on the same instance to its end and forgets its
    // events: whatever the earlier ones still had to raise has come by then.
    bool Drain(const TestHttpServer &server)
    {
        const auto isDrain = [](const Event &e) { return e.key == "drain"; };
        dl.BeginDownload(server.Url("/size=1/drain.bin"), "drain");
        const bool ended =
            WaitUntil([&] { return std::count_if(events.begin(), events.end(), isDrain) > 0 && !dl.IsDownloading(); });
        events.erase(std::remove_if(events.begin(), events.end(), isDrain), events.end());
        return ended;
    }
    int Count(Event::Kind kind) const
    {
        return int(std::count_if(events.begin(), events.end(), [kind](const Event &e) { return e.kind == kind; }));
    }
    bool Ended() const { return Count(Event::Progress) < int(events.size()); }

    FileDL &dl;
    std::vector<Event> events;
    QString saveTo;
    std::function<void(const Event &)> after;
    int depth = 0;
    int maxDepth = 0; // above 1: an event raised inside a handler of the same instance
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

// Each body replaces an older, longer file. Progress rises to the size (max
// the size, or 0 without Content-Length) at one event per 50 ms at most, plus
// the last; a URL goes out unchanged unless it cannot travel raw.
TEST_F(FileDLTest, BodiesAreSavedExactlyWithThrottledProgress)
{
    const struct {
        QString path, sent; // sent: the path as it goes out when it differs
        qint64 size, max;
    } cases[] = {
        {"/size=1000/a.bin", "", 1000, 1000},
        {"/nolength=1/size=200000/chunk=1000/chunkdelay=2/u.bin", "", 200000, 0},
        {"/size=10/a%41~b;c=d.jpg?x=%2F", "", 10, 10},
        {"/size=10/pic \u00e4.jpg", "/size=10/pic%20%C3%A4.jpg", 10, 10},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        auto dl = Make(4);
        EventLog log(*dl);
        log.saveTo = output.filePath("a.bin");
        ASSERT_TRUE(WriteFile(log.saveTo, QByteArray(c.size + 100, 'x')));
        QElapsedTimer clock;
        clock.start();
        dl->BeginDownload(server.Url(c.path), "4");
        EXPECT_TRUE(dl->IsDownloading());
        ASSERT_TRUE(WaitUntil([&] { return log.Ended(); }, 30000));
        const qint64 elapsed = clock.elapsed();
        EXPECT_FALSE(dl->IsDownloading());

        const Event &done = log.events.back();
        ASSERT_EQ(done.kind, Event::Complete) << done.text.toStdString();
        EXPECT_EQ(std::make_tuple(done.index, done.key, done.code), std::make_tuple(4, QString("4"), 6));
        EXPECT_TRUE(FileBytes(log.saveTo) == TestHttpServer::Body(0, c.size));
        EXPECT_EQ(server.Requests().last(), c.sent.isEmpty() ? c.path : c.sent);
        ASSERT_EQ(log.Count(Event::Progress), int(log.events.size()) - 1);
        EXPECT_LE(log.Count(Event::Progress), elapsed / 50 + 2);
        qint64 previous = 0;
        for (size_t i = 0; i + 1 < log.events.size(); ++i) {
            const Event &e = log.events[i];
            EXPECT_EQ(
                std::make_tuple(e.code, e.text, e.max), std::make_tuple(5, QString("Download In Progress."), c.max));
            EXPECT_GE(e.progress, previous);
            previous = e.progress;
        }
        EXPECT_EQ(previous, c.size);
    }
}

TEST_F(FileDLTest, RedirectIsReportedAtOnceAndCancelledFromTheHandler)
{
    auto dl = Make(2);
    EventLog log(*dl);
    int openAtRedirect = -1;
    log.after = [&](const Event &e) {
        if (e.kind == Event::Progress && e.code == 3) {
            openAtRedirect = server.OpenRequests();
            dl->Cancel(e.key);
        }
    };
    // The redirect's body takes seconds: the event must not wait for it.
    dl->BeginDownload(server.Url("/status=302/size=100000/chunk=1000/chunkdelay=50/r.bin"), "2");
    ASSERT_TRUE(WaitUntil([&] { return !log.events.empty(); }));
    EXPECT_EQ(openAtRedirect, 1);
    EXPECT_FALSE(dl->IsDownloading());
    ASSERT_TRUE(log.Drain(server));

    ASSERT_EQ(log.events.size(), 1u) << "nothing after the cancel";
    EXPECT_EQ(std::make_tuple(log.events[0].kind, log.events[0].code, log.events[0].text, log.events[0].key),
        std::make_tuple(Event::Progress, 3, QString("Redirecting."), QString("2")));
}

// A URL that cannot be started fails inside BeginDownload with a code of its
// own; any other failure comes later with code 0 and a description.
TEST_F(FileDLTest, FailuresRaiseOneErrorAndNothingElse)
{
    const std::pair<QString, QString> cases[] = {
        // URL, description ("-": any; "sync": a start failure)
        {server.Url("/status=404/x.bin"), "HTTP/1.1 404 Not Found"},
        {server.Url("/status=500/size=5000/x.bin"), "HTTP/1.1 500 Internal Server Error"},
        {server.Url("/status=404/size=5000000/x.bin"), "HTTP/1.1 404 Not Found"},
        {server.Url("/status=301/x.bin"), "HTTP/1.1 301 Moved Permanently"}, // redirect not cancelled
        {server.Url("/size=100000/drop=40000/x.bin"), "-"},
        {QStringLiteral("http://127.0.0.1:%1/x.bin").arg(TestHttpServer::DeadPort()), "-"},
        {"http://", "sync"},
        {"nosuchscheme://host/x.bin", "sync"},
        {"file:///etc/hostname", "sync"},
        {"", "sync"},
    };
    for (const auto &[url, description] : cases) {
        SCOPED_TRACE(url.toStdString());
        auto dl = Make(3);
        EventLog log(*dl);
        dl->BeginDownload(url, "3");
        EXPECT_EQ(log.events.size(), description == "sync" ? 1u : 0u);
        ASSERT_TRUE(WaitUntil([&] { return log.Ended(); }));
        EXPECT_FALSE(dl->IsDownloading());
        ASSERT_TRUE(log.Drain(server));

        EXPECT_EQ(log.Count(Event::Error), 1);
        EXPECT_EQ(log.Count(Event::Complete) + (description == "sync" ? log.Count(Event::Progress) : 0), 0);
        const Event &error = log.events.back();
        EXPECT_EQ(std::make_tuple(error.kind, error.key, error.busyInside),
            std::make_tuple(Event::Error, QString("3"), true));
        EXPECT_EQ(error.code != 0, description == "sync");
        EXPECT_FALSE(error.text.isEmpty());
        EXPECT_TRUE(!description.startsWith("HTTP") || error.text == description) << error.text.toStdString();
    }
}

// Each complete handler starts the next download, then runs a nested event
// loop until the server has answered it: its events must still wait until
// the handler has returned.
TEST_F(FileDLTest, NextDownloadStartedFromTheCompleteHandlerReusesInstanceAndConnection)
{
    constexpr int count = 20;
    auto dl = Make(7);
    EventLog log(*dl);
    int next = 1;
    const auto urlOf = [&](int k) { return server.Url(QStringLiteral("/size=%1/n%2.bin").arg(100 * k).arg(k)); };
    log.after = [&](const Event &e) {
        if (e.kind == Event::Complete && next < count) {
            ++next;
            dl->BeginDownload(urlOf(next), QString::number(next));
            WaitUntil([&] { return server.Requests().size() == next && server.OpenRequests() == 0; }, 2000);
        }
    };
    dl->BeginDownload(urlOf(1), "1");
    ASSERT_TRUE(WaitUntil([&] { return log.Count(Event::Complete) + log.Count(Event::Error) == count; }));

    EXPECT_FALSE(dl->IsDownloading());
    EXPECT_EQ(log.maxDepth, 1);
    EXPECT_EQ(log.Count(Event::Complete), count);
    int k = 0;
    for (const Event &e : log.events) {
        EXPECT_TRUE(e.busyInside) << "still downloading inside the handler";
        if (e.kind == Event::Complete) {
            ++k;
            EXPECT_EQ(e.key, QString::number(k));
            EXPECT_EQ(e.bytes, TestHttpServer::Body(0, 100 * k));
        }
    }
    EXPECT_EQ(server.Requests().size(), count);
    EXPECT_EQ(server.Connections(), 1);
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
    log.after = [&](const Event &e) {
        for (QSocketNotifier *notifier : Notifiers())
            enabledOnesOpen = enabledOnesOpen &&
                (e.kind != Event::Error || !notifier->isEnabled() || fcntl(int(notifier->socket()), F_GETFD) != -1);
    };
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

    ASSERT_EQ(Fetch(log, "/size=3000/d.bin"), Event::Complete);
    EXPECT_EQ(log.events.back().bytes, TestHttpServer::Body(0, 3000));
    EXPECT_EQ(server.Connections(), 3);
    EXPECT_EQ(Notifiers().size(), 2);
}

// A download faster than the event loop is held back every few MiB so that
// other events run; what it holds back arrives later, and a cancel while it
// is held back leaves nothing for the next download on the same instance.
TEST_F(FileDLTest, AFastDownloadIsHeldBackForTheEventLoopAndArrivesExact)
{
    constexpr qint64 size = 30'000'000;
    auto dl = Make(0);
    EventLog log(*dl);
    log.saveTo = output.filePath("out.bin");
    // While the body streams in, libcurl watches the socket unless the
    // transfer is held back.
    int heldBackSeen = 0;
    bool cancelWhenHeldBack = false;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const QList<QSocketNotifier *> notifiers = Notifiers();
        const bool watched =
            std::any_of(notifiers.begin(), notifiers.end(), [](QSocketNotifier *n) { return n->isEnabled(); });
        if (!dl->IsDownloading() || log.events.empty() || log.events.back().progress == 0 || watched)
            return;
        ++heldBackSeen;
        if (cancelWhenHeldBack)
            dl->Cancel("k");
    });
    ticker.start();

    ASSERT_EQ(Fetch(log, QStringLiteral("/size=%1/big.bin").arg(size)), Event::Complete);
    EXPECT_GE(heldBackSeen, 1);
    EXPECT_TRUE(FileBytes(log.saveTo) == TestHttpServer::Body(0, size));

    heldBackSeen = 0;
    cancelWhenHeldBack = true;
    log.events.clear();
    dl->BeginDownload(server.Url(QStringLiteral("/size=%1/cancelled.bin").arg(size)), "k");
    ASSERT_TRUE(WaitUntil([&] { return !dl->IsDownloading(); }));
    EXPECT_EQ(heldBackSeen, 1);
    ticker.stop();

    dl->BeginDownload(server.Url(QStringLiteral("/size=%1/next.bin").arg(size / 2)), "k");
    ASSERT_TRUE(WaitUntil([&] { return log.Ended(); }));
    EXPECT_EQ(log.Count(Event::Error) + log.Count(Event::Complete), 1) << "no event from the cancelled download";
    EXPECT_EQ(log.events.back().kind, Event::Complete);
    EXPECT_TRUE(FileBytes(log.saveTo) == TestHttpServer::Body(0, size / 2));
}

} // namespace
