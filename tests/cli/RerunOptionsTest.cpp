#include "engine/DownloadQueue.h"
#include "engine/RetrySchedule.h"
#include "engine/RunIntegrationFixture.h"

#include <algorithm>

namespace {

// Spacings are read from the server's arrival times, as lower bounds only.
// A request leaves the client a little before the server sees it, and that
// little varies on a busy machine: this much is allowed for.
constexpr qint64 ArrivalSlack = 20;

class RerunOptionsCli : public RunIntegrationFixture {
protected:
    QStringList RunLogLines() const { return FileLines(dir.filePath("appdata/Velmora/TvLog.txt")); }
    QStringList RunLogged(const QString &start) const
    {
        return RunLogLines().filter(QRegularExpression("^" + QRegularExpression::escape(start)));
    }
    // A list of these jobs alone.
    QString ListOf(const std::vector<JobRecord> &jobs, const QString &name = "jobs.txt")
    {
        app.Jobs().ReplaceRecords({JobRecord()});
        return SaveList(jobs, name);
    }
    // The gaps between the arrivals of requests from first on.
    QList<qint64> Gaps(qsizetype first = 0) const
    {
        QList<qint64> times = server.Times().mid(first);
        std::sort(times.begin(), times.end());
        QList<qint64> gaps;
        for (qsizetype i = 1; i < times.size(); ++i)
            gaps << times[i] - times[i - 1];
        return gaps;
    }
    QString RangeOf(qsizetype request) const
    {
        const QRegularExpressionMatch range =
            QRegularExpression("\r\nRange: ([^\r]*)", QRegularExpression::CaseInsensitiveOption)
                .match(server.Heads().value(request));
        return range.captured(1);
    }
};

} // namespace

// Each retry case against the local server: how many requests arrive and
// how far apart, the Range of the resumed request, the file saved, the log
// and the exit status. Only the final outcome gets its result line.
TEST_F(RerunOptionsCli, TransientFailuresAreRetriedAndCutBodiesResumed)
{
    const quint16 deadPort = TestHttpServer::DeadPort();
    const struct {
        const char *name;
        QString path; // on the local server; a leading ':' means on a dead port
        QStringList flags;
        int requests;
        QList<qint64> gaps;   // at least, between consecutive requests
        QString resumedRange; // of the last request
        qint64 saved;         // bytes of the file, -1 for none
        QStringList retries;  // the log's retry lines, up to the URL
        int exitCode;
    } cases[] = {
        {"503 twice, then the file", "/failtimes=2/size=1000/a.bin", {"--retry", "3"}, 3, {1000, 2000}, "", 1000,
            {"Retry 1 of 3 in 1 s: ", "Retry 2 of 3 in 2 s: "}, 0},
        {"500 every time", "/failtimes=9/failstatus=500/b.bin", {"--retry", "1"}, 2, {1000}, "", -1,
            {"Retry 1 of 1 in 1 s: "}, 1},
        {"429 says when", "/failtimes=1/failstatus=429/retryafter=2/size=500/c.bin", {"--retry", "2"}, 2, {2000}, "",
            500, {"Retry 1 of 2 in 2 s: "}, 0},
        {"cut short, resumed", "/failtimes=1/failcut=3000/range=1/size=7000/d.bin", {"--retry", "1"}, 2, {1000},
            "bytes=3000-", 7000, {"Retry 1 of 1 in 1 s: "}, 0},
        {"cut short, Range ignored", "/failtimes=1/failcut=3000/size=7000/e.bin", {"--retry", "1"}, 2, {1000},
            "bytes=3000-", 7000, {"Retry 1 of 1 in 1 s: "}, 0},
        {"404 is no passing failure", "/status=404/f.bin", {"--retry", "3"}, 1, {}, "", -1, {}, 1},
        {"retries off", "/failtimes=1/g.bin", {}, 1, {}, "", -1, {}, 1},
        {"connection refused", ":/h.bin", {"--retry", "1"}, 0, {}, "", -1, {"Retry 1 of 1 in 1 s: "}, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype before = server.Requests().size();
        const QString url = c.path.startsWith(':') ? QString("http://127.0.0.1:%1%2").arg(deadPort).arg(c.path.mid(1))
                                                   : server.Url(c.path);
        JobRecord job = Job("");
        job.Url = url;
        const CliResult result = RunTavrin(QStringList{"--run"} + c.flags + QStringList{ListOf({job})});
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();

        EXPECT_EQ(server.Requests().size() - before, c.requests);
        const QList<qint64> gaps = Gaps(before);
        ASSERT_EQ(gaps.size(), c.gaps.size());
        for (qsizetype i = 0; i < gaps.size(); ++i)
            EXPECT_GE(gaps[i], c.gaps[i] - ArrivalSlack) << "gap " << i;
        if (c.requests > 1) {
            EXPECT_EQ(RangeOf(before), "");
            EXPECT_EQ(RangeOf(server.Heads().size() - 1), c.resumedRange);
        }

        const QString target = Out(DownloadQueue::FileNameOfUrl(url));
        if (c.saved < 0)
            EXPECT_FALSE(QFile::exists(target));
        else
            EXPECT_EQ(FileBytes(target), TestHttpServer::Body(0, c.saved));
        EXPECT_EQ(OutFiles().filter(QRegularExpression("^\\.")), QStringList());

        QStringList retries;
        for (const QString &line : RunLogged("Retry ")) {
            EXPECT_TRUE(line.contains(": " + url + " ")) << line.toStdString();
            retries << line.left(line.indexOf(": ") + 2);
        }
        EXPECT_EQ(retries, c.retries);
        EXPECT_EQ(RunLogged("File Saved: ").size(), c.saved < 0 ? 0 : 1);
        EXPECT_EQ(RunLogged("File Download Error: ").size(), c.saved < 0 ? 1 : 0);
        QFile::remove(target);
    }
}

// The waits a retry takes: 1 s doubling up to 60 s, or what Retry-After
// says (seconds or an HTTP date), up to 300 s.
TEST(RetryWaits, BackoffDoublesAndRetryAfterIsReadAndCapped)
{
    const QList<std::pair<int, qint64>> backoff = {
        {1, 1000}, {2, 2000}, {3, 4000}, {6, 32000}, {7, 60000}, {40, 60000}};
    for (const auto &[attempt, ms] : backoff)
        EXPECT_EQ(RetrySchedule::BackoffMs(attempt), ms) << attempt;

    const QDateTime now(QDate(2026, 12, 6), QTime(10, 0), Qt::UTC);
    const QList<std::pair<QString, qint64>> retryAfter = {
        {"1", 1000},
        {" 7 ", 7000},
        {"0", 0},
        {"300", 300000},
        {"99999999999999", 300000},
        {"Sun, 06 Dec 2026 10:00:12 GMT", 12000},
        {"Sun, 06 Dec 2026 09:00:00 GMT", 0},
        {"Mon, 07 Dec 2026 10:00:00 GMT", 300000},
        {"Sun, 06 Dec 2026 11:00:05 +0100", 5000},
        {"", -1},
        {"-3", -1},
        {"soon", -1},
        {"1.5", -1},
    };
    for (const auto &[header, ms] : retryAfter)
        EXPECT_EQ(RetrySchedule::RetryAfterMs(header, now), ms) << header.toStdString();
}

// Stop while an item waits for its retry, with the bytes of a cut body
// held: the run ends at once, with nothing of the file left behind.
TEST_F(RerunOptionsCli, StopDuringARetryWaitEndsTheRunAndLeavesNothing)
{
    const QString list = ListOf({Job("/failtimes=5/failcut=3000/retryafter=30/size=7000/s.bin")});
    QElapsedTimer sinceSignal;
    const CliResult result = RunTavrin({"--run", "--retry", "3", list}, [&](QProcess &process) {
        Signal(process, SIGINT, [&] { return !RunLogged("Retry 1 of 3 in 30 s: ").isEmpty(); });
        sinceSignal.start();
    });
    const qint64 endedAfter = sinceSignal.elapsed();
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_LT(endedAfter, 2000);
    RecordProperty("StopToExitMs", QString::number(endedAfter).toStdString());
    EXPECT_EQ(server.Requests().size(), 1);
    EXPECT_EQ(OutFiles(), QStringList());
    EXPECT_EQ(RunLogged("File Download Error: "), QStringList());
}

// With a wait between requests, nine slots still start no two requests to
// one host closer than the wait; a 429 with Retry-After holds the host that
// long, without retries too.
TEST_F(RerunOptionsCli, RequestsToOneHostAreSpacedAndHeldByRetryAfter)
{
    app.Settings().NumDLs = 9;
    const QString list = ListOf({Job("/size=2000/w#1#.bin", "1", "12")});
    const CliResult spaced = RunTavrin({"--run", "--wait", "200", list});
    EXPECT_EQ(spaced.exitCode, 0) << spaced.err.toStdString();
    EXPECT_EQ(server.Requests().size(), 12);
    for (const qint64 gap : Gaps())
        EXPECT_GE(gap, 200 - ArrivalSlack);

    const qsizetype before = server.Requests().size();
    const QString held = ListOf({Job("/failtimes=1/failstatus=429/retryafter=1/h.bin"), Job("/i.bin")}, "held.txt");
    const CliResult holding = RunTavrin({"--run", "--wait", "10", held});
    EXPECT_EQ(holding.exitCode, 1) << holding.err.toStdString();
    ASSERT_EQ(server.Requests().size() - before, 2);
    EXPECT_GE(Gaps(before).value(0), 1000 - ArrivalSlack);
    EXPECT_TRUE(QFile::exists(Out("i.bin")));
}

// A second run of the same job with --skip-existing requests nothing and
// succeeds; an empty target is fetched again. The skipped items count as
// scanned in the progress text.
TEST_F(RerunOptionsCli, SkipExistingRequestsOnlyWhatIsMissingOrEmpty)
{
    const QString list = ListOf({Job("/size=3000/k#1#.bin", "1", "3")});
    ASSERT_EQ(RunTavrin({"--run", list}).exitCode, 0);
    ASSERT_EQ(server.Requests().size(), 3);

    const CliResult again = RunTavrin({"--run", "--skip-existing", list});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    ExpectCompleted(again.out.trimmed(), 0, 0);
    EXPECT_EQ(server.Requests().size(), 3);
    EXPECT_EQ(RunLogged("File Exists, Skipped: "),
        (QStringList{"File Exists, Skipped: " + Out("k1.bin"), "File Exists, Skipped: " + Out("k2.bin"),
            "File Exists, Skipped: " + Out("k3.bin")}));

    // In the engine itself, with an emptied file among them.
    ASSERT_TRUE(QFile::resize(Out("k2.bin"), 0));
    app.Jobs().ReplaceRecords({JobRecord()});
    Add(Job("/size=3000/k#1#.bin", "1", "3"));
    app.Settings().Options.SkipExisting = 1;
    ASSERT_TRUE(Run());
    EXPECT_EQ(server.Requests().size(), 4);
    EXPECT_TRUE(server.Requests().back().endsWith("/k2.bin"));
    EXPECT_EQ(FileBytes(Out("k2.bin")), TestHttpServer::Body(0, 3000));
    EXPECT_EQ(Counters().ScannedCount, 3);
    EXPECT_EQ(Counters().FoundCount, 1);
    EXPECT_EQ(view.OverallTexts.filter("Found ").constLast(), "Found 1, Scanned 3 out of 3 Files.");
}
