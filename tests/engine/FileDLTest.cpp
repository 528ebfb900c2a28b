#include "engine/FileDL.h"
#include "support/TestHttpServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Runs the event loop until done() holds or timeoutMs passes.
bool WaitUntil(const std::function<bool()> &done, int timeoutMs = 10000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(2);
    loop.exec();
    return done();
}

void Settle(int ms)
{
    WaitUntil([] { return false; }, ms);
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

struct Event {
    enum Kind { Progress, Error, Complete };
    Kind kind = Progress;
    int index = -1;
    QString key;
    qint64 progress = 0;
    qint64 max = 0;
    int32_t code = 0;
    QString text;
    QByteArray bytes; // small bodies only
    qint64 size = 0;
    bool busyInside = false;
    bool saved = false;
};

// Records what one instance raises; optionally saves the body, and runs a
// hook inside the handler after recording.
struct EventLog {
    explicit EventLog(FileDL &dl) : dl(dl)
    {
        QObject::connect(&dl, &FileDL::DownloadProgress, [this](int i, const QString &k, qint64 p, qint64 m,
                                                                 int32_t s, const QString &t) {
            Record({Event::Progress, i, k, p, m, s, t});
        });
        QObject::connect(&dl, &FileDL::DownloadError, [this](int i, const QString &k, int32_t c, const QString &t) {
            Record({Event::Error, i, k, 0, 0, c, t});
        });
        QObject::connect(&dl, &FileDL::DownloadComplete, [this](int i, const QString &k, const DownloadedBody &b,
                                                                 int32_t c) {
            Event e{Event::Complete, i, k, 0, 0, c};
            e.size = b.Size();
            if (e.size <= 1 << 20)
                e.bytes = b.ReadAll();
            if (!saveTo.isEmpty())
                e.saved = b.SaveTo(saveTo);
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
    int Count(Event::Kind kind) const
    {
        return int(std::count_if(events.begin(), events.end(), [kind](const Event &e) { return e.kind == kind; }));
    }
    bool Ended() const { return Count(Event::Error) + Count(Event::Complete) > 0; }

    FileDL &dl;
    std::vector<Event> events;
    QString saveTo;
    std::function<void(const Event &)> after;
    int depth = 0;
    int maxDepth = 0; // above 1: an event raised inside a handler of the same instance
};

class FileDLTest : public ::testing::Test {
protected:
    std::unique_ptr<FileDL> Make(int index)
    {
        auto dl = std::make_unique<FileDL>(index);
        dl->SetSpoolFolder(spool.path());
        return dl;
    }
    void TearDown() override
    {
        const QStringList left = QDir(spool.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
    }

    TestHttpServer server;
    QTemporaryDir spool;
    QTemporaryDir output;
};

TEST_F(FileDLTest, SmallBodyIsSavedExactlyReplacingTheTarget)
{
    auto dl = Make(4);
    EventLog log(*dl);
    log.saveTo = output.filePath("a.bin");
    QFile old(log.saveTo);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older and longer file than the new one........................");
    old.close();

    const QString url = server.Url("/size=1000/a.bin");
    dl->BeginDownload(url, "4");
    EXPECT_TRUE(dl->IsDownloading());
    EXPECT_EQ(dl->UrlRead(), url);
    ASSERT_TRUE(WaitUntil([&] { return log.Ended(); }));
    EXPECT_FALSE(dl->IsDownloading());

    const Event &done = log.events.back();
    ASSERT_EQ(done.kind, Event::Complete) << done.text.toStdString();
    EXPECT_EQ(done.index, 4);
    EXPECT_EQ(done.key, "4");
    EXPECT_EQ(done.code, 6);
    EXPECT_TRUE(done.busyInside);
    EXPECT_EQ(done.bytes, TestHttpServer::Body(0, 1000));
    EXPECT_TRUE(done.saved);
    EXPECT_EQ(FileBytes(log.saveTo), TestHttpServer::Body(0, 1000));

    ASSERT_EQ(log.Count(Event::Progress), int(log.events.size()) - 1);
    const Event &last = log.events[log.events.size() - 2];
    EXPECT_EQ(last.code, 5);
    EXPECT_EQ(last.text, "Download In Progress.");
    EXPECT_EQ(last.progress, 1000);
    EXPECT_EQ(last.max, 1000);
}

TEST_F(FileDLTest, LargeBodyStreamsToDiskWithThrottledProgressUpTo100Percent)
{
    constexpr qint64 size = 30000000;
    auto dl = Make(0);
    EventLog log(*dl);
    log.saveTo = output.filePath("big.bin");
    QElapsedTimer clock;
    clock.start();
    dl->BeginDownload(server.Url(QStringLiteral("/size=%1/big.bin").arg(size)), "0");
    ASSERT_TRUE(WaitUntil([&] { return log.Ended(); }, 30000));
    const qint64 elapsed = clock.elapsed();

    ASSERT_EQ(log.events.back().kind, Event::Complete) << log.events.back().text.toStdString();
    EXPECT_EQ(log.events.back().size, size);
    EXPECT_TRUE(log.events.back().saved);
    qint64 previous = 0;
    for (size_t i = 0; i + 1 < log.events.size(); ++i) {
        EXPECT_EQ(log.events[i].max, size);
        EXPECT_GE(log.events[i].progress, previous);
        previous = log.events[i].progress;
    }
    EXPECT_EQ(previous * 100 / size, 100);
    // One event per 50 ms at most, plus the last one.
    EXPECT_LE(log.Count(Event::Progress), elapsed / 50 + 2);
    EXPECT_EQ(QFileInfo(log.saveTo).size(), size);
    EXPECT_TRUE(FileBytes(log.saveTo) == TestHttpServer::Body(0, size));
}

TEST_F(FileDLTest, SlowBodyWithoutLengthCompletesWithUnknownTotalAndFewEvents)
{
    auto dl = Make(1);
    EventLog log(*dl);
    QElapsedTimer clock;
    clock.start();
    dl->BeginDownload(server.Url("/nolength=1/size=200000/chunk=1000/chunkdelay=2/u.bin"), "1");
    ASSERT_TRUE(WaitUntil([&] { return log.Ended(); }));
    const qint64 elapsed = clock.elapsed();

    ASSERT_EQ(log.events.back().kind, Event::Complete) << log.events.back().text.toStdString();
    EXPECT_EQ(log.events.back().bytes, TestHttpServer::Body(0, 200000));
    ASSERT_GE(log.Count(Event::Progress), 1);
    for (size_t i = 0; i + 1 < log.events.size(); ++i)
        EXPECT_EQ(log.events[i].max, 0);
    // Two hundred chunks, but one event per 50 ms at most, plus the last one.
    EXPECT_LE(log.Count(Event::Progress), elapsed / 50 + 2);
    EXPECT_EQ(log.events[log.events.size() - 2].progress, 200000);
}

TEST_F(FileDLTest, UrlIsSentUnchangedUnlessItHasCharactersThatCannotTravelRaw)
{
    const std::pair<QString, QString> table[] = {
        {QStringLiteral("/size=10/a%41~b;c=d.jpg?x=%2F"), QStringLiteral("/size=10/a%41~b;c=d.jpg?x=%2F")},
        {QStringLiteral("/size=10/pic \u00e4.jpg"), QStringLiteral("/size=10/pic%20%C3%A4.jpg")},
    };
    for (const auto &[path, sent] : table) {
        SCOPED_TRACE(path.toStdString());
        server.ResetCounts();
        auto dl = Make(0);
        EventLog log(*dl);
        dl->BeginDownload(server.Url(path), "0");
        ASSERT_TRUE(WaitUntil([&] { return log.Ended(); }));
        EXPECT_EQ(log.events.back().kind, Event::Complete);
        EXPECT_EQ(dl->UrlRead(), server.Url(path));
        EXPECT_EQ(server.Requests(), QStringList{sent});
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
    ASSERT_TRUE(WaitUntil([&] { return server.OpenRequests() == 0; }));
    Settle(100);

    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0].kind, Event::Progress);
    EXPECT_EQ(log.events[0].code, 3);
    EXPECT_EQ(log.events[0].text, "Redirecting.");
    EXPECT_EQ(log.events[0].key, "2");
    EXPECT_FALSE(dl->IsDownloading());
}

TEST_F(FileDLTest, FailuresRaiseOneErrorWithCodeZeroAndADescription)
{
    struct Case {
        const char *name;
        QString url;
        QString description; // empty: any text
    };
    const Case cases[] = {
        {"not found", server.Url("/status=404/x.bin"), "HTTP/1.1 404 Not Found"},
        {"server error", server.Url("/status=500/size=5000/x.bin"), "HTTP/1.1 500 Internal Server Error"},
        {"huge error page", server.Url("/status=404/size=5000000/x.bin"), "HTTP/1.1 404 Not Found"},
        {"redirect not cancelled", server.Url("/status=301/x.bin"), "HTTP/1.1 301 Moved Permanently"},
        {"dropped mid-body", server.Url("/size=100000/drop=40000/x.bin"), {}},
        {"dead port", QStringLiteral("http://127.0.0.1:%1/x.bin").arg(TestHttpServer::DeadPort()), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto dl = Make(3);
        EventLog log(*dl);
        dl->BeginDownload(c.url, "3");
        ASSERT_TRUE(WaitUntil([&] { return log.Ended(); }));
        Settle(50);

        EXPECT_EQ(log.Count(Event::Error), 1);
        EXPECT_EQ(log.Count(Event::Complete), 0);
        const Event &error = log.events.back();
        EXPECT_EQ(error.kind, Event::Error);
        EXPECT_EQ(error.code, 0);
        EXPECT_EQ(error.key, "3");
        EXPECT_TRUE(error.busyInside);
        EXPECT_FALSE(dl->IsDownloading());
        if (c.description.isEmpty())
            EXPECT_FALSE(error.text.isEmpty());
        else
            EXPECT_EQ(error.text, c.description);
    }
}

TEST_F(FileDLTest, StartFailureIsRaisedInsideBeginDownload)
{
    for (const char *url : {"http://", "nosuchscheme://host/x.bin", "file:///etc/hostname", ""}) {
        SCOPED_TRACE(url);
        auto dl = Make(5);
        EventLog log(*dl);
        dl->BeginDownload(QString::fromLatin1(url), "5");

        ASSERT_EQ(log.events.size(), 1u);
        EXPECT_EQ(log.events[0].kind, Event::Error);
        EXPECT_NE(log.events[0].code, 0);
        EXPECT_FALSE(log.events[0].text.isEmpty());
        EXPECT_TRUE(log.events[0].busyInside);
        EXPECT_FALSE(dl->IsDownloading());
        Settle(50);
        EXPECT_EQ(log.events.size(), 1u);
    }
}

TEST_F(FileDLTest, CancelEndsADownloadSilentlyAndIsHarmlessWhenIdle)
{
    auto dl = Make(6);
    EventLog log(*dl);
    dl->Cancel();
    EXPECT_FALSE(dl->IsDownloading());

    dl->BeginDownload(server.Url("/size=500000/chunk=1000/chunkdelay=5/slow.bin"), "6");
    ASSERT_TRUE(WaitUntil([&] { return !log.events.empty(); }));
    dl->Cancel("6");
    EXPECT_FALSE(dl->IsDownloading());
    const size_t seen = log.events.size();
    ASSERT_TRUE(WaitUntil([&] { return server.OpenRequests() == 0; }));
    Settle(100);
    EXPECT_EQ(log.events.size(), seen);
    EXPECT_FALSE(log.Ended());
}

TEST_F(FileDLTest, NineInstancesDownloadFromOneHostAtOnce)
{
    std::vector<std::unique_ptr<FileDL>> dls;
    std::vector<std::unique_ptr<EventLog>> logs;
    for (int i = 0; i < 9; ++i) {
        dls.push_back(Make(i));
        logs.push_back(std::make_unique<EventLog>(*dls.back()));
        dls.back()->BeginDownload(server.Url(QStringLiteral("/delay=300/size=%1/f%2.bin").arg(20000 + i).arg(i)),
                                  QString::number(i));
    }
    ASSERT_TRUE(WaitUntil([&] {
        return std::all_of(logs.begin(), logs.end(), [](const auto &log) { return log->Ended(); });
    }));
    EXPECT_EQ(server.MaxOpenRequests(), 9);
    for (int i = 0; i < 9; ++i) {
        const Event &done = logs[i]->events.back();
        ASSERT_EQ(done.kind, Event::Complete) << done.text.toStdString();
        EXPECT_EQ(done.index, i);
        EXPECT_EQ(done.key, QString::number(i));
        EXPECT_EQ(done.bytes, TestHttpServer::Body(0, 20000 + i));
    }
}

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
            // Long enough for the next download to finish meanwhile: its
            // events must still wait until this handler has returned.
            Settle(10);
        }
    };
    dl->BeginDownload(urlOf(1), "1");
    ASSERT_TRUE(WaitUntil([&] { return log.Count(Event::Complete) + log.Count(Event::Error) == count; }));
    Settle(50);

    EXPECT_FALSE(dl->IsDownloading());
    EXPECT_EQ(log.maxDepth, 1);
    EXPECT_EQ(log.Count(Event::Complete), count);
    int k = 0;
    for (const Event &e : log.events) {
        EXPECT_TRUE(e.busyInside);
        if (e.kind != Event::Complete)
            continue;
        ++k;
        EXPECT_EQ(e.key, QString::number(k));
        EXPECT_EQ(e.bytes, TestHttpServer::Body(0, 100 * k));
    }
    EXPECT_EQ(server.Requests().size(), count);
    EXPECT_EQ(server.Connections(), 1);
}

// Drives three instances the way the engine does: the lowest idle instance
// takes the next item, and the complete handler saves the file and pumps
// events while other downloads are running.
TEST_F(FileDLTest, PumpingEventsInsideTheCompleteHandlerKeepsEveryDownloadIntact)
{
    constexpr int items = 30;
    std::vector<std::unique_ptr<FileDL>> dls;
    std::vector<int> completions(items + 1, 0);
    int errors = 0;
    for (int i = 0; i < 3; ++i) {
        dls.push_back(Make(i));
        FileDL *dl = dls.back().get();
        QObject::connect(dl, &FileDL::DownloadComplete, [&, dl](int, const QString &key, const DownloadedBody &body,
                                                                int32_t) {
            ++completions[key.toInt()];
            body.SaveTo(output.filePath(QStringLiteral("item%1.bin").arg(key)));
            EXPECT_TRUE(dl->IsDownloading());
            QCoreApplication::processEvents();
        });
        QObject::connect(dl, &FileDL::DownloadError, [&](int, const QString &, int32_t, const QString &) { ++errors; });
    }
    const auto sizeOf = [](int k) { return 1000 * k + k % 7; };
    const auto lowestIdle = [&]() -> FileDL * {
        for (auto &dl : dls) {
            if (!dl->IsDownloading())
                return dl.get();
        }
        return nullptr;
    };
    for (int k = 1; k <= items; ++k) {
        ASSERT_TRUE(WaitUntil([&] { return lowestIdle() != nullptr; }));
        const QString options = k % 4 == 0 ? QStringLiteral("/chunk=4000/chunkdelay=3") : QStringLiteral("/delay=%1").arg(k % 3 * 20);
        lowestIdle()->BeginDownload(server.Url(QStringLiteral("%1/size=%2/item%3.bin").arg(options).arg(sizeOf(k)).arg(k)),
                                    QString::number(k));
    }
    ASSERT_TRUE(WaitUntil([&] { return std::none_of(dls.begin(), dls.end(), [](auto &dl) { return dl->IsDownloading(); }); }));

    EXPECT_EQ(errors, 0);
    for (int k = 1; k <= items; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(completions[k], 1);
        EXPECT_EQ(FileBytes(output.filePath(QStringLiteral("item%1.bin").arg(k))), TestHttpServer::Body(0, sizeOf(k)));
    }
}

TEST_F(FileDLTest, SpoolFolderThatCannotTakeAFileFallsBackToTheTempFolder)
{
    auto dl = Make(8);
    dl->SetSpoolFolder(output.filePath("missing/folder"));
    QString spoolPath;
    QObject::connect(dl.get(), &FileDL::DownloadComplete,
                     [&](int, const QString &, const DownloadedBody &body, int32_t) { spoolPath = body.FilePath(); });
    dl->BeginDownload(server.Url("/size=10/t.bin"), "8");
    ASSERT_TRUE(WaitUntil([&] { return !dl->IsDownloading(); }));

    EXPECT_EQ(QFileInfo(spoolPath).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_FALSE(QFile::exists(spoolPath));
}

TEST_F(FileDLTest, SavingOntoAFolderFailsWithAReason)
{
    auto dl = Make(0);
    bool saved = true;
    QString reason;
    QObject::connect(dl.get(), &FileDL::DownloadComplete, [&](int, const QString &, const DownloadedBody &body, int32_t) {
        saved = body.SaveTo(output.path(), &reason);
    });
    dl->BeginDownload(server.Url("/size=10/t.bin"), "0");
    ASSERT_TRUE(WaitUntil([&] { return !dl->IsDownloading(); }));
    EXPECT_FALSE(saved);
    EXPECT_FALSE(reason.isEmpty());
}

TEST(FileDLStatusText, GivesTheTextOfEveryCode)
{
    const std::pair<int32_t, const char *> table[] = {
        {0, "An Error Has Occurred."}, {1, "Finding Resource."}, {2, "Connecting To Resource."},
        {3, "Redirecting."}, {4, "Download Initialized."}, {5, "Download In Progress."},
        {6, "Download Complete."}, {7, "Unknown."}, {8, "Unknown."}, {9, "Unknown."},
        {10, "Using Cached Copy."}, {11, "Sending Request."}, {12, "Unknown."},
        {13, "MIME Type Is Available."}, {14, "Local Cache File Is Available."},
        {15, "Synchronous Download Has Started."}, {16, "Synchronous Download Complete."},
        {17, "Unknown."}, {1000, "Unknown."}, {-1, "Unknown."},
    };
    for (const auto &[code, text] : table)
        EXPECT_EQ(FileDL::GetStatusCode(code), QString::fromLatin1(text)) << code;
}

} // namespace
