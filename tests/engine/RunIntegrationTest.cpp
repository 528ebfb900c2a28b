#include "RunIntegrationFixture.h"

#include <QFileInfo>

#include <algorithm>
#include <map>

namespace {

class RunIntegration : public RunIntegrationFixture {
protected:
    // Which slot took each queue item, from the slots' completions.
    std::map<int32_t, int> SlotsByItem() const
    {
        std::map<int32_t, int> items;
        for (const Completion &done : completions)
            items[done.item] = done.slot;
        return items;
    }
};

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char *name, const QByteArray &value)
        : name(name), had(qEnvironmentVariableIsSet(name)), saved(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnvironment()
    {
        if (had)
            qputenv(name, saved);
        else
            qunsetenv(name);
    }

private:
    const char *name;
    bool had;
    QByteArray saved;
};

} // namespace

TEST_F(RunIntegration, OneSlotDownloadsStrictlyInQueueOrder)
{
    app.Settings.NumDLs = 1;
    Add(Job("/size=1000/delay=50/img#1#.jpg", "1", "5", "00", "a_"));
    JobRecord unchecked = Job("/size=10/unchecked#1#.jpg", "1", "3");
    unchecked.Get = "0";
    Add(unchecked);

    ASSERT_TRUE(Run());

    QStringList expectedRequests;
    QStringList expectedUrlLines;
    for (int i = 1; i <= 5; ++i) {
        const QString path = QString("/size=1000/delay=50/img%1.jpg").arg(i, 2, 10, QChar('0'));
        expectedRequests << path;
        expectedUrlLines << server.Url(path) + " > a_" + QFileInfo(path).fileName();
        EXPECT_EQ(FileBytes(Out("a_" + QFileInfo(path).fileName())), TestHttpServer::Body(0, 1000)) << i;
    }
    EXPECT_EQ(server.Requests(), expectedRequests) << "queue order, and the unchecked job is left alone";
    EXPECT_EQ(server.MaxOpenRequests(), 1);
    EXPECT_EQ(LogLines().filter(" > "), expectedUrlLines);
    ASSERT_EQ(completions.size(), 5u);
    for (size_t i = 0; i < completions.size(); ++i) {
        EXPECT_EQ(completions[i].slot, 0);
        EXPECT_EQ(completions[i].item, int32_t(i + 1));
    }
    EXPECT_EQ(Counters().TotalCount, 5);
    EXPECT_EQ(Counters().ScannedCount, 5);
    EXPECT_EQ(Counters().FoundCount, 5);
    EXPECT_EQ(Counters().TotalKB, 5);
    EXPECT_FALSE(app.Engine.Control.LastRunStopped());
    ExpectSummary(5, 5);
}

// Item i answers after i × 100 ms: items 1 to 3 start together on slots 0,
// 1 and 2; item 1 ends first, so item 4 takes slot 0, then item 2's slot 1
// takes item 5.
TEST_F(RunIntegration, ThreeSlotsTakeTheFirstItemsTogetherAndRefillTheFirstIdleSlot)
{
    app.Settings.NumDLs = 3;
    Add(Job("/size=100/delay=#1#00/f#1#.bin", "1", "5"));

    ASSERT_TRUE(Run());

    EXPECT_EQ(server.MaxOpenRequests(), 3);
    const std::map<int32_t, int> expected{{1, 0}, {2, 1}, {3, 2}, {4, 0}, {5, 1}};
    EXPECT_EQ(SlotsByItem(), expected);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(FileBytes(Out(QString("f%1.bin").arg(i))), TestHttpServer::Body(0, 100)) << i;
    EXPECT_EQ(Counters().FoundCount, 5);
    ExpectSummary(5, 0);
}

TEST_F(RunIntegration, ARedirectIsCancelledWithALogLineAndNotCounted)
{
    const QList<int> redirects{301, 302, 303, 307, 308};
    for (int status : redirects)
        Add(Job(QString("/status=%1/r%1.jpg").arg(status)));
    Add(Job("/size=10/fine.jpg"));

    ASSERT_TRUE(Run());

    for (int status : redirects) {
        const QString target = Out(QString("r%1.jpg").arg(status));
        EXPECT_EQ(LogLines().count("Cancelled due to redirecting: " + target), 1) << status;
        EXPECT_FALSE(QFileInfo::exists(target)) << status;
    }
    EXPECT_EQ(LogLinesStartingWith("Cancelled due to redirecting: ").size(), redirects.size());
    EXPECT_TRUE(LogLinesStartingWith("File Download Error: ").isEmpty());
    EXPECT_TRUE(RequestsFor("/moved").isEmpty()) << "a redirect is never followed";
    EXPECT_EQ(FileBytes(Out("fine.jpg")), TestHttpServer::Body(0, 10));
    EXPECT_EQ(Counters().TotalCount, 6);
    EXPECT_EQ(Counters().ScannedCount, 1);
    EXPECT_EQ(Counters().FoundCount, 1);
    ExpectSummary(1, 0);
}

TEST_F(RunIntegration, FailedDownloadsAreScannedAndLoggedButNotFound)
{
    app.Settings.NumDLs = 1;
    const QStringList failing{
        server.Url("/status=404/size=50/gone.jpg"),
        QString("http://127.0.0.1:%1/dead.jpg").arg(TestHttpServer::DeadPort()),
        server.Url("/status=500/broken.jpg"),
        server.Url("/size=5000/drop=1000/cut.jpg"),
    };
    for (const QString &url : failing) {
        JobRecord job = Job("/unused");
        job.Url = url;
        Add(job);
    }
    Add(Job("/size=100/g#1#.jpg", "1", "3"));

    ASSERT_TRUE(Run());

    QStringList expectedErrors;
    for (const QString &url : failing) {
        expectedErrors << "File Download Error: Code=0, File Missing or Access Denied " + url;
        EXPECT_FALSE(QFileInfo::exists(Out(QFileInfo(url).fileName()))) << url.toStdString();
    }
    EXPECT_EQ(LogLinesStartingWith("File Download Error: "), expectedErrors);
    EXPECT_EQ(Counters().TotalCount, 7);
    EXPECT_EQ(Counters().ScannedCount, 7);
    EXPECT_EQ(Counters().FoundCount, 3);
    // Each ended download moves the overall bar; only a saved one rewrites
    // the status line, which counts the earlier failures as scanned.
    EXPECT_EQ(view.OverallValues, (std::vector<int32_t>{0, 14, 29, 43, 57, 71, 86, 100, 100}));
    ASSERT_EQ(view.OverallTexts.size(), 5);
    EXPECT_EQ(view.OverallTexts[0], "");
    EXPECT_EQ(view.OverallTexts[1], "Found 1, Scanned 5 out of 7 Files.");
    EXPECT_EQ(view.OverallTexts[2], "Found 2, Scanned 6 out of 7 Files.");
    EXPECT_EQ(view.OverallTexts[3], "Found 3, Scanned 7 out of 7 Files.");
    ExpectSummary(3, 0);
}

// A URL the transport refuses to start fails inside BeginDownload, with the
// transport's own error number; the run goes on with the next item.
TEST_F(RunIntegration, AUrlThatCannotBeStartedFailsAtOnceWithItsErrorNumber)
{
    app.Settings.NumDLs = 1;
    JobRecord refused = Job("/unused");
    refused.Url = "unknown://127.0.0.1/s#1#.jpg";
    refused.U1 = "3";
    Add(refused);
    Add(Job("/size=10/after.jpg"));

    ASSERT_TRUE(Run());

    const QStringList errors = LogLinesStartingWith("File Download Error: Code=");
    ASSERT_EQ(errors.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString url = QString("unknown://127.0.0.1/s%1.jpg").arg(i + 1);
        EXPECT_TRUE(errors[i].endsWith(", File Missing or Access Denied " + url)) << errors[i].toStdString();
        EXPECT_NE(errors[i].section('=', 1).section(',', 0, 0).toInt(), 0) << errors[i].toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(Out("after.jpg")));
    EXPECT_EQ(Counters().ScannedCount, 4);
    EXPECT_EQ(Counters().FoundCount, 1);
    ExpectSummary(1, 0);
}

// A URL ending in "/" names the output folder itself; a prefix naming a
// missing subfolder names a file that cannot be created. Such a completion
// ends quietly: nothing is counted or logged.
TEST_F(RunIntegration, ACompletedDownloadWhoseTargetCannotBeWrittenIsNeitherCountedNorLogged)
{
    Add(Job("/size=10/folder/"));
    Add(Job("/size=10/sub.jpg", "1", "1", "", "nosuch/"));

    ASSERT_TRUE(Run());

    EXPECT_EQ(server.Requests().size(), 2);
    EXPECT_EQ(completions.size(), 2u);
    EXPECT_TRUE(QFileInfo(OutFolder()).isDir());
    EXPECT_FALSE(QFileInfo::exists(Out("nosuch")));
    EXPECT_TRUE(LogLinesStartingWith("File Saved: ").isEmpty());
    EXPECT_TRUE(LogLinesStartingWith("File Download Error: ").isEmpty());
    EXPECT_EQ(Counters().TotalCount, 2);
    EXPECT_EQ(Counters().ScannedCount, 0);
    EXPECT_EQ(Counters().FoundCount, 0);
    EXPECT_EQ(Counters().TotalKB, 0);
    EXPECT_TRUE(view.OverallTexts.filter("Found").isEmpty());
    ExpectSummary(0, 0);
}

TEST_F(RunIntegration, ALargeDownloadReportsUpTo100PercentAndIsSavedExactly)
{
    constexpr qint64 size = 30000000;
    app.Settings.NumDLs = 1;
    Add(Job(QString("/size=%1/big.bin").arg(size)));

    ASSERT_TRUE(Run());

    QFile file(Out("big.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_EQ(file.size(), size);
    constexpr qint64 block = 1 << 20;
    for (qint64 offset = 0; offset < size; offset += block) {
        const QByteArray bytes = file.read(block);
        ASSERT_EQ(bytes, TestHttpServer::Body(offset, bytes.size())) << "at " << offset;
    }

    // After the bar is cleared at the start: rising percentages up to 100,
    // then 0 when the file is saved.
    const std::vector<int32_t> &bar = view.SlotValues[0];
    ASSERT_GE(bar.size(), 3u);
    EXPECT_EQ(bar.back(), 0);
    EXPECT_EQ(bar[bar.size() - 2], 100);
    EXPECT_TRUE(std::is_sorted(bar.begin() + 1, bar.end() - 1));
    EXPECT_GE(*std::min_element(bar.begin(), bar.end()), 0);
    EXPECT_EQ(Counters().FoundCount, 1);
    EXPECT_EQ(Counters().TotalKB, 29297) << "30,000,000 / 1024 = 29296.875";
    ExpectSummary(1, 29297);
}

TEST_F(RunIntegration, ADownloadOfUnknownSizeKeepsItsSlotBarAtZero)
{
    app.Settings.NumDLs = 1;
    Add(Job("/nolength=1/size=5000/chunk=500/chunkdelay=30/u.bin"));
    int progressEvents = 0;
    qint64 largestMax = 0;
    QObject::connect(&app.Engine.Slots.Instance(0), &FileDL::DownloadProgress,
                     [&](int, const QString &, qint64, qint64 max, int32_t status) {
                         if (status == 5) {
                             ++progressEvents;
                             largestMax = std::max(largestMax, max);
                         }
                     });

    ASSERT_TRUE(Run());

    ASSERT_GE(progressEvents, 2) << "the body arrives in several parts";
    ASSERT_EQ(largestMax, 0) << "no size is announced";
    const std::vector<int32_t> &bar = view.SlotValues[0];
    EXPECT_TRUE(std::all_of(bar.begin(), bar.end(), [](int32_t value) { return value == 0; }));
    EXPECT_EQ(FileBytes(Out("u.bin")), TestHttpServer::Body(0, 5000));
    EXPECT_EQ(Counters().FoundCount, 1);
    ExpectSummary(1, 5);
}

TEST_F(RunIntegration, TheSameTargetTwiceCountsBothAndKeepsTheSecondBody)
{
    app.Settings.NumDLs = 1;
    Add(Job("/size=#1#000/same.bin", "1", "2"));

    ASSERT_TRUE(Run());

    EXPECT_EQ(server.Requests(), (QStringList{"/size=1000/same.bin", "/size=2000/same.bin"}));
    EXPECT_EQ(FileBytes(Out("same.bin")), TestHttpServer::Body(0, 2000));
    EXPECT_EQ(LogLinesStartingWith("File Saved: "),
              (QStringList{"File Saved: " + Out("same.bin") + " TotalKB: 1",
                           "File Saved: " + Out("same.bin") + " TotalKB: 3"}));
    EXPECT_EQ(Counters().FoundCount, 2);
    EXPECT_EQ(Counters().TotalKB, 3);
    ExpectSummary(2, 3);
}

// Three jobs with per-file post-processing. Job 2's first item answers at
// once, its others only after ten seconds; when the first is saved, Stop is
// clicked while the run waits for a free slot.
TEST_F(RunIntegration, StopDuringTheSecondJobEndsTheRunAfterTheFirstJobsPostProcessing)
{
    app.Settings.NumDLs = 2;
    const QString marker = dir.filePath("pp.txt");
    auto withPostProcessing = [&](JobRecord job) {
        job.RunPP = "1";
        job.AllPP = "0";
        job.CmdPP = QString("/bin/sh -c \"echo #FILE# >> %1\"").arg(marker);
        return job;
    };
    Add(withPostProcessing(Job("/size=1500/a#1#.bin", "1", "2")));
    Add(withPostProcessing(Job("/size=1000/delay=#1#0000/b#1#.bin", "0", "4")));
    Add(withPostProcessing(Job("/size=100/c#1#.bin", "1", "2")));
    for (int i = 0; i < 9; ++i) {
        FileDL &download = app.Engine.Slots.Instance(i);
        QObject::connect(&download, &FileDL::DownloadComplete, &download, [this, &download] {
            if (download.UserStr().endsWith("b0.bin"))
                app.Engine.Control.RunClick();
        });
    }

    ASSERT_TRUE(Run());

    EXPECT_TRUE(app.Engine.Control.LastRunStopped());
    EXPECT_FALSE(app.Engine.Control.IsRunning());
    for (int i = 0; i < 9; ++i)
        EXPECT_FALSE(app.Engine.Slots.Instance(i).IsDownloading()) << "busy slots are cancelled: " << i;
    EXPECT_EQ(QString::fromLocal8Bit(FileBytes(marker)), "a1.bin\na2.bin\n") << "only job 1 is post-processed";
    EXPECT_EQ(LogLinesStartingWith("Execute Post Processing: "), QStringList{"Execute Post Processing: Row: 0"});
    for (const QString &name : {"a1.bin", "a2.bin", "b0.bin"})
        EXPECT_TRUE(QFileInfo::exists(Out(name))) << name.toStdString();
    for (const QString &name : {"b1.bin", "b2.bin", "b3.bin", "b4.bin", "c1.bin", "c2.bin"})
        EXPECT_FALSE(QFileInfo::exists(Out(name))) << name.toStdString();
    EXPECT_EQ(RequestsFor("/b").size(), 2) << "no item is started after the Stop";
    EXPECT_TRUE(RequestsFor("/c").isEmpty());
    EXPECT_TRUE(LogLines().filter(" > c").isEmpty()) << "job 3 is not expanded";
    EXPECT_TRUE(LogLinesStartingWith("File Download Error: ").isEmpty()) << "a cancelled download raises nothing";
    EXPECT_EQ(Counters().TotalCount, 9);
    EXPECT_EQ(Counters().FoundCount, 3);
    EXPECT_EQ(Counters().TotalKB, 3);
    ExpectSummary(3, 3);

    // The cancelled download never reports.
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(Counters().ScannedCount, 3);
    EXPECT_EQ(completions.size(), 3u);
}

// Stop is clicked while job 1's first command runs: post-processing is not
// interrupted (both commands run), and the run ends before job 2.
TEST_F(RunIntegration, AStopDuringPostProcessingLetsItFinishAndEndsTheRunAfterIt)
{
    const QString marker = dir.filePath("pp.txt");
    JobRecord first = Job("/size=10/s#1#.bin", "1", "2");
    first.RunPP = "1";
    first.CmdPP = QString("/bin/sh -c \"sleep 0.2; echo #FILE# >> %1\"").arg(marker);
    Add(first);
    Add(Job("/size=10/t#1#.bin", "1", "2"));
    QTimer stopClick;
    stopClick.setSingleShot(true);
    QObject::connect(&stopClick, &QTimer::timeout, [this] {
        if (app.Engine.Control.IsRunning())
            app.Engine.Control.RunClick();
    });
    view.OnBusyPointer = [&stopClick](bool busy) {
        if (busy)
            stopClick.start(50);
    };

    ASSERT_TRUE(Run());

    EXPECT_TRUE(app.Engine.Control.LastRunStopped());
    EXPECT_EQ(QString::fromLocal8Bit(FileBytes(marker)), "s1.bin\ns2.bin\n");
    EXPECT_EQ(LogLinesStartingWith("  Command (").size(), 2);
    EXPECT_TRUE(RequestsFor("/t").isEmpty());
    EXPECT_TRUE(LogLines().filter(" > t").isEmpty()) << "job 2 is not expanded";
    ExpectSummary(2, 0);
}

TEST_F(RunIntegration, AnUnusableOutputFolderIsLoggedInBothPassesAndTheJobSkipped)
{
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const ScopedEnvironment temp("TEMP", plain.fileName().toLocal8Bit());
    JobRecord unusable = Job("/size=10/never#1#.jpg", "1", "4");
    unusable.Output = "%TEMP%\\sub";
    Add(unusable);
    Add(Job("/size=10/ok#1#.jpg", "1", "2"));

    ASSERT_TRUE(Run());

    const QString message = "Unable to Access Output Folder : %TEMP%\\sub";
    const QStringList lines = LogLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[1], message) << "counting pass";
    EXPECT_EQ(lines[2], message) << "job pass";
    EXPECT_EQ(lines.count(message), 2);
    EXPECT_TRUE(RequestsFor("never").isEmpty());
    EXPECT_TRUE(LogLines().filter("never").isEmpty());
    EXPECT_EQ(Counters().TotalCount, 2);
    EXPECT_TRUE(QFileInfo::exists(Out("ok1.jpg")));
    EXPECT_TRUE(QFileInfo::exists(Out("ok2.jpg")));
    ExpectSummary(2, 0);
}

TEST_F(RunIntegration, ALogFileThatCannotBeOpenedEndsTheRunWithUnexpectedEvent)
{
    app.Settings.LogFile = dir.filePath("no-such-folder/log.txt");
    Add(Job("/size=10/x.jpg"));

    ASSERT_TRUE(Run());

    const QString failure = app.Engine.Control.LastFailure();
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_EQ(view.Messages, QStringList{"Unexpected event: " + failure});
    EXPECT_EQ(app.Engine.Control.LastSummary(), "");
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(app.Settings.LogFile));
}

TEST_F(RunIntegration, ARunWithNoCheckedJobCompletesAtOnce)
{
    JobRecord job = Job("/size=10/x#1#.jpg", "1", "3");
    job.Get = "0";
    Add(job);

    ASSERT_TRUE(Run());

    EXPECT_EQ(app.Engine.Control.LastSummary(), "Completed 0 Files (0 KB) in 0 Secs.");
    ExpectSummary(0, 0);
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_EQ(Counters().TotalCount, 0);
    EXPECT_EQ(Counters().ScannedCount, 0);
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("Log file opened at ")) << lines[0].toStdString();
}

// Job 1's only download answers after 11 s: the end wait gives up after
// 10 s, job 1 is post-processed (its file is not there yet) and job 2 is
// downloaded on the other slot while the slow download goes on.
TEST_F(RunIntegration, ADownloadOutlivingTheEndWaitNoLongerHoldsUpTheRun)
{
    app.Settings.NumDLs = 2;
    JobRecord slow = Job("/size=100/delay=11000/slow.bin");
    slow.RunPP = "1";
    slow.CmdPP = QString("/bin/sh -c \"echo #FILE# >> %1\"").arg(dir.filePath("pp.txt"));
    Add(slow);
    Add(Job("/size=100/q#1#.bin", "1", "2"));

    ASSERT_TRUE(Run());

    ASSERT_TRUE(WaitUntil([&] { return Counters().FoundCount == 3; }, 5000));
    const QStringList lines = LogLines();
    const int postProcessed = int(lines.indexOf("Execute Post Processing: Row: 0"));
    const int firstOfJob2 = int(lines.indexOf("File Saved: " + Out("q1.bin") + " TotalKB: 0"));
    const int slowSaved = int(lines.indexOf("File Saved: " + Out("slow.bin") + " TotalKB: 0"));
    ASSERT_GE(postProcessed, 0);
    EXPECT_LT(postProcessed, firstOfJob2);
    EXPECT_LT(firstOfJob2, slowSaved);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("pp.txt"))) << "job 1 was post-processed before its file came";
    ASSERT_EQ(completions.size(), 3u);
    EXPECT_EQ(completions[0].slot, 1) << "job 2 runs on the slot left free";
    EXPECT_EQ(completions[1].slot, 1);
    EXPECT_EQ(completions[2].target, Out("slow.bin"));
    EXPECT_EQ(FileBytes(Out("slow.bin")), TestHttpServer::Body(0, 100));
    EXPECT_GE(runMs, 10000);
}

// Lowering the slot count during a run (as the slot-count box does): the
// downloads on the higher slots are neither waited for nor cancelled, and
// their completions are ignored.
TEST_F(RunIntegration, DownloadsOnSlotsAboveALoweredCountAreNotWaitedForAndTheirCompletionsIgnored)
{
    app.Settings.NumDLs = 3;
    Add(Job("/size=100/delay=#1#000/n#1#.bin", "0", "2"));
    FileDL &first = app.Engine.Slots.Instance(0);
    QObject::connect(&first, &FileDL::DownloadComplete, &first,
                     [this] { ASSERT_TRUE(app.Engine.Slots.ValidateSlotCountText("1")); });

    ASSERT_TRUE(Run());

    EXPECT_EQ(app.Settings.NumDLs, 1);
    EXPECT_TRUE(app.Engine.Slots.Instance(1).IsDownloading()) << "the run did not wait for slot 1";
    EXPECT_TRUE(app.Engine.Slots.Instance(2).IsDownloading());
    ASSERT_TRUE(WaitUntil([&] {
        return !app.Engine.Slots.Instance(1).IsDownloading() && !app.Engine.Slots.Instance(2).IsDownloading();
    }, 5000));
    EXPECT_EQ(completions.size(), 3u) << "both higher slots completed";
    EXPECT_TRUE(QFileInfo::exists(Out("n0.bin")));
    EXPECT_FALSE(QFileInfo::exists(Out("n1.bin")));
    EXPECT_FALSE(QFileInfo::exists(Out("n2.bin")));
    EXPECT_EQ(LogLinesStartingWith("File Saved: ").size(), 1);
    EXPECT_EQ(Counters().ScannedCount, 1);
    EXPECT_EQ(Counters().FoundCount, 1);
}

namespace {

class RunLogAcrossRuns : public RunIntegrationFixture, public ::testing::WithParamInterface<bool> {};

} // namespace

TEST_P(RunLogAcrossRuns, HoldsEveryRunSinceItWasLastStarted)
{
    const bool reset = GetParam();
    app.Settings.ResetLog = reset;
    Add(Job("/size=10/first.jpg"));
    ASSERT_TRUE(Run());
    app.Jobs.Record(1).Url = server.Url("/size=10/second.jpg");
    ASSERT_TRUE(Run());

    const QStringList lines = LogLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].startsWith("Log file opened at "));
    EXPECT_EQ(lines.filter(QRegularExpression("^Log file opened at ")).size(), 1);
    EXPECT_TRUE(lines.filter(QRegularExpression("^Log file closed at ")).isEmpty());
    EXPECT_EQ(LogLinesStartingWith("File Saved: ").filter("first.jpg").size(), reset ? 0 : 1);
    EXPECT_EQ(LogLinesStartingWith("File Saved: ").filter("second.jpg").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(ResetLog, RunLogAcrossRuns, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return std::string(info.param ? "Reset" : "Kept");
                         });

namespace {

struct BoundCase {
    const char *name;
    QString JobRecord::*field;
    QString value;
    QString usable;
};

void PrintTo(const BoundCase &bound, std::ostream *out)
{
    *out << bound.name;
}

class RunBoundOutOfRange : public RunIntegrationFixture, public ::testing::WithParamInterface<BoundCase> {};

} // namespace

// The counting pass fails on row 1 before anything is downloaded; the run
// ends with the message and no summary, and the next run works.
TEST_P(RunBoundOutOfRange, EndsTheRunWithUnexpectedEvent)
{
    const BoundCase &bound = GetParam();
    Add(Job("/size=10/pre#1#.jpg", "1", "2"));
    JobRecord job = Job("/size=10/bad#1#.jpg", "1", "2");
    job.*bound.field = bound.value;
    const int32_t record = Add(job);

    ASSERT_TRUE(Run());

    const QString failure = app.Engine.Control.LastFailure();
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_EQ(view.Messages, QStringList{"Unexpected event: " + failure});
    EXPECT_EQ(app.Engine.Control.LastSummary(), "");
    EXPECT_TRUE(view.OverallTexts.filter("Completed").isEmpty());
    ASSERT_FALSE(view.Captions.isEmpty());
    EXPECT_EQ(view.Captions.last(), "&Run");
    ASSERT_FALSE(view.SlotBoxShown.empty());
    EXPECT_FALSE(view.SlotBoxShown.back());
    EXPECT_FALSE(app.Engine.Control.IsRunning());
    EXPECT_TRUE(server.Requests().isEmpty());

    app.Jobs.Record(record).*bound.field = bound.usable;
    view.Clear();
    ASSERT_TRUE(Run());
    EXPECT_TRUE(view.Messages.isEmpty());
    ExpectSummary(4, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, RunBoundOutOfRange,
    ::testing::Values(BoundCase{"U1BeyondTheLargest", &JobRecord::U1, "99999999999", "2"},
                      BoundCase{"L1WithAnExponent", &JobRecord::L1, "5e9", "1"},
                      BoundCase{"L2OfAOneSequenceJob", &JobRecord::L2, "-3000000000", "1"}),
    [](const ::testing::TestParamInfo<BoundCase> &info) { return std::string(info.param.name); });

namespace {

struct KilobyteCase {
    const char *name;
    std::vector<int> sizes;
    std::vector<int> runningKB; // TotalKB after each file, in queue order
};

void PrintTo(const KilobyteCase &sizes, std::ostream *out)
{
    *out << sizes.name;
}

class RunKilobytes : public RunIntegrationFixture, public ::testing::WithParamInterface<KilobyteCase> {};

} // namespace

TEST_P(RunKilobytes, AreRoundedPerFile)
{
    const KilobyteCase &sizes = GetParam();
    app.Settings.NumDLs = 1;
    QStringList expectedLines;
    for (size_t i = 0; i < sizes.sizes.size(); ++i) {
        const QString name = QString("k%1.bin").arg(i);
        Add(Job(QString("/size=%1/%2").arg(sizes.sizes[i]).arg(name)));
        expectedLines << QString("File Saved: %1 TotalKB: %2").arg(Out(name)).arg(sizes.runningKB[i]);
    }

    ASSERT_TRUE(Run());

    EXPECT_EQ(LogLinesStartingWith("File Saved: "), expectedLines);
    EXPECT_EQ(Counters().TotalKB, sizes.runningKB.back());
    ExpectSummary(int(sizes.sizes.size()), sizes.runningKB.back());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RunKilobytes,
    ::testing::Values(KilobyteCase{"ThreeFilesOf1500Bytes", {1500, 1500, 1500}, {1, 2, 3}},
                      KilobyteCase{"OneMebibyte", {1048576}, {1024}},
                      KilobyteCase{"HalvesGoToTheEvenNeighbour", {512, 1536, 2560}, {0, 2, 4}}),
    [](const ::testing::TestParamInfo<KilobyteCase> &info) { return std::string(info.param.name); });

TEST_F(RunIntegration, StopDuringTheEndWaitCancelsWhatIsStillRunning)
{
    app.Settings.NumDLs = 2;
    Add(Job("/size=100/delay=#1#000/e#1#.bin", "0", "2")); // e0 at once, e1 after 1 s, e2 after 2 s
    for (int i = 0; i < 9; ++i) {
        FileDL &download = app.Engine.Slots.Instance(i);
        QObject::connect(&download, &FileDL::DownloadComplete, &download, [this, &download] {
            if (download.UserStr().endsWith("e1.bin"))
                app.Engine.Control.RunClick();
        });
    }

    ASSERT_TRUE(Run());

    EXPECT_TRUE(app.Engine.Control.LastRunStopped());
    for (int i = 0; i < 9; ++i)
        EXPECT_FALSE(app.Engine.Slots.Instance(i).IsDownloading()) << i;
    // Item 3 (two seconds late) would have arrived by now had it gone on.
    QEventLoop wait;
    QTimer::singleShot(2500, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_FALSE(QFileInfo::exists(Out("e2.bin")));
    EXPECT_EQ(Counters().FoundCount, 2);
    EXPECT_TRUE(LogLinesStartingWith("File Saved: ").filter("e2.bin").isEmpty());
}
