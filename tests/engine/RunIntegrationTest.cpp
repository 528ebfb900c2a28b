#include "RunIntegrationFixture.h"
#include "support/JobLists.h"

#include <QFileInfo>

#include <algorithm>
#include <map>

using RunIntegration = RunIntegrationFixture;

TEST_F(RunIntegration, OneSlotDownloadsStrictlyInQueueOrder)
{
    app.Settings().NumDLs = 1;
    Add(Job("/size=1000/delay=50/img#1#.jpg", "1", "3", "00", "a_"));
    JobRecord unchecked = Job("/size=10/unchecked#1#.jpg", "1", "3");
    unchecked.Get = "0";
    Add(unchecked);

    ASSERT_TRUE(Run());

    QStringList requests, queued, saved;
    for (int i = 1; i <= 3; ++i) {
        const QString name = QString("img%1.jpg").arg(i, 2, 10, QChar('0'));
        requests << "/size=1000/delay=50/" + name;
        queued << server.Url(requests.last()) + " > a_" + name;
        saved << "File Saved: " + Out("a_" + name) + " TotalKB: " + QString::number(i);
        EXPECT_EQ(FileBytes(Out("a_" + name)), TestHttpServer::Body(0, 1000)) << i;
    }
    EXPECT_EQ(server.Requests(), requests) << "queue order; the unchecked job is left alone";
    for (const QString &head : server.Heads()) // never answered from a cache, a proxy's included
        EXPECT_TRUE(head.split("\r\n").contains("Cache-Control: no-cache", Qt::CaseInsensitive) &&
            head.split("\r\n").contains("Pragma: no-cache", Qt::CaseInsensitive))
            << head.toStdString();
    EXPECT_EQ(server.MaxOpenRequests(), 1);
    EXPECT_EQ(server.Connections(), 1) << "kept alive";
    // The whole log of a 3-item job, byte for byte: the queue's lines before
    // the downloads, one saved line per file, each ended by CR LF.
    const QByteArray log = FileBytes(app.Settings().LogFile);
    const qsizetype opened = log.indexOf("\r\n") + 2;
    const QString first = QString::fromLocal8Bit(log.left(opened));
    EXPECT_TRUE(QRegularExpression(R"(^Log file opened at \d\d:\d\d:\d\d on .+ as #\d+\r\n$)").match(first).hasMatch());
    EXPECT_EQ(log.mid(opened), ((queued + saved).join("\r\n") + "\r\n").toLocal8Bit());
    ExpectSummary(3, 3);
}

// Item i answers after i x 100 ms: items 1 to 3 start together on slots 0 to
// 2; item 1 ends first, so item 4 takes slot 0, then item 5 takes slot 1.
TEST_F(RunIntegration, ThreeSlotsTakeTheFirstItemsTogetherAndRefillTheFirstIdleSlot)
{
    Add(Job("/size=100/delay=#1#00/f#1#.bin", "1", "5"));

    ASSERT_TRUE(Run());

    EXPECT_EQ(server.MaxOpenRequests(), 3);
    std::map<int32_t, int> slotOf;
    for (const Completion &done : completions)
        slotOf[done.item] = done.slot;
    EXPECT_EQ(slotOf, (std::map<int32_t, int>{{1, 0}, {2, 1}, {3, 2}, {4, 0}, {5, 1}}));
    ExpectSummary(5, 0);
}

// One slot, so the downloads end in queue order. Redirects are cancelled at
// once (not after their slow bodies), logged and not scanned; failures (a
// 404 with a body too large to drop, a file: URL refused inside
// BeginDownload with its own error number) are scanned and logged; a target
// that cannot be made (a URL ending in "/" names the folder itself, a prefix
// names a missing subfolder, a number picture of 300 zeros makes a name
// longer than the file system takes) ends its handler quietly: nothing
// logged, nothing counted as saved or scanned.
TEST_F(RunIntegration, DownloadsThatSaveNothingAreCountedAsTheirOutcomeSays)
{
    app.Settings().NumDLs = 1;
    const QList<int> redirects{301, 302, 303, 307, 308};
    for (int status : redirects)
        Add(Job(QString("/status=%1/size=100000/chunk=1000/chunkdelay=50/r%1.jpg").arg(status)));
    const QStringList failing{server.Url("/status=404/size=5000000/gone.jpg"), "file:///etc/hostname"};
    for (const QString &url : failing) {
        JobRecord job = Job("/unused");
        job.Url = url;
        Add(job);
    }
    Add(Job("/size=10/folder/"));
    Add(Job("/size=10/sub.jpg", "1", "1", "", "nosuch/"));
    Add(Job("/size=10/#1#.jpg", "7", "7", QString(300, '0')));
    Add(Job("/size=100/g#1#.jpg", "1", "7"));

    ASSERT_TRUE(Run());

    EXPECT_LT(runMs, 5000);
    QStringList cancelled;
    for (int status : redirects)
        cancelled << "Cancelled due to redirecting: " + Out(QString("r%1.jpg").arg(status));
    EXPECT_EQ(Logged("Cancelled due to redirecting: "), cancelled);
    EXPECT_TRUE(server.Requests().filter("/moved").isEmpty()) << "a redirect is never followed";
    const QStringList errors = Logged("File Download Error: ");
    const QString code = errors.value(1).section('=', 1).section(',', 0, 0);
    EXPECT_NE(code.toInt(), 0) << errors.value(1).toStdString();
    const QString missing = ", File Missing or Access Denied ";
    EXPECT_EQ(errors,
        (QStringList{"File Download Error: Code=0" + missing + failing[0],
            "File Download Error: Code=" + code + missing + failing[1]}));
    EXPECT_EQ(completions.size(), 10u) << "the three unwritable targets did complete";
    // Each of the 9 scanned downloads moves the overall bar to scanned / 17
    // (halves to even); only a saved one rewrites the status line.
    EXPECT_EQ(view.OverallValues, (std::vector<int32_t>{0, 6, 12, 18, 24, 29, 35, 41, 47, 53, 100}));
    QStringList texts{""}, saved;
    for (int k = 1; k <= 7; ++k) {
        texts << QString("Found %1, Scanned %2 out of 17 Files.").arg(k).arg(k + 2);
        saved << QString("g%1.jpg").arg(k);
    }
    EXPECT_EQ(view.OverallTexts, texts << app.Engine().LastSummary());
    EXPECT_EQ(QDir(OutFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), saved);
    ExpectSummary(7, 0);
}

// While bodies arrive, the output folder holds the finished targets and
// nothing else: a program looking at it never sees a half body. A server that
// breaks off or fails: the existing target keeps its bytes and nothing else
// appears.
TEST_F(RunIntegration, NoUnfinishedBodyIsSeenAndAFailedDownloadKeepsTheExistingTarget)
{
    QDir().mkpath(OutFolder());
    const QString routes[] = {"/size=300000/drop=70000/", "/size=5000/status=500/"};
    QStringList names;
    for (int i = 0; i < 2; ++i) {
        names << QString("keep%1.bin").arg(i);
        ASSERT_TRUE(WriteFile(Out(names.last()), "precious"));
        Add(Job(routes[i] + names.last()));
    }
    ASSERT_TRUE(WriteFile(Out("t1.bin"), "old"));
    Add(Job("/size=6000/chunk=1000/chunkdelay=100/t#1#.bin", "1", "2"));
    QStringList seen;
    for (int i = 0; i < 9; ++i)
        QObject::connect(
            &FetchEngineProbe::Download(app.Engine(), i), &FileDL::DownloadProgress, [&] { seen << OutFiles(); });

    ASSERT_TRUE(Run());

    names << "t1.bin"
          << "t2.bin";
    EXPECT_EQ(OutFiles(), names);
    ASSERT_FALSE(seen.isEmpty());
    for (const QString &name : seen)
        EXPECT_TRUE(names.contains(name)) << name.toStdString();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(FileBytes(Out(names[i])), "precious") << routes[i].toStdString();
    EXPECT_EQ(FileBytes(Out("t1.bin")), TestHttpServer::Body(0, 6000));
    EXPECT_EQ(Logged("File Download Error: ").size(), 2);
    ExpectSummary(2, 12);
}

// Item 0 on slot 0 announces its length, item 1 on slot 1 does not.
TEST_F(RunIntegration, ALargeDownloadReportsUpTo100PercentOrZeroWithoutALengthAndIsSavedExactly)
{
    constexpr qint64 size = 30000000;
    Add(Job(QString("/nolength=#1#/size=%1/big#1#.bin").arg(size), "0", "1"));

    ASSERT_TRUE(Run());

    EXPECT_TRUE(FileBytes(Out("big0.bin")) == TestHttpServer::Body(0, size));
    EXPECT_TRUE(FileBytes(Out("big1.bin")) == TestHttpServer::Body(0, size));
    // Cleared at the start, rising percentages up to 100, then 0 once saved.
    const std::vector<int32_t> &bar = view.SlotValues[0], &unknown = view.SlotValues[1];
    ASSERT_GE(bar.size(), 3u);
    EXPECT_EQ(bar.back(), 0);
    EXPECT_EQ(bar[bar.size() - 2], 100);
    EXPECT_TRUE(std::is_sorted(bar.begin() + 1, bar.end() - 1));
    ASSERT_GE(unknown.size(), 4u) << "cleared, shown in several parts, cleared once saved";
    EXPECT_EQ(std::count(unknown.begin(), unknown.end(), 0), qsizetype(unknown.size()));
    EXPECT_LE(unknown.size(), size_t(runMs / 50 + 6)) << "one progress event per 50 ms at most";
    ExpectSummary(2, 58594); // 30,000,000 / 1024 = 29296.875
}

// Sizes of 0.5, 1.5 and 2.5 KB round to even one by one; then 1500 bytes
// twice: rounding the running byte count instead would give 6 and 7. The
// same target twice counts both and keeps the second body. A URL goes out as
// written unless it cannot travel raw.
TEST_F(RunIntegration, KilobytesAreRoundedPerFileAndTheSameTargetTwiceCountsBoth)
{
    app.Settings().NumDLs = 1;
    const int sizes[] = {512, 1536, 2560, 1500, 1500, 1048576, 1000, 2000};
    const int runningKB[] = {0, 2, 4, 5, 6, 1030, 1031, 1033};
    const QString names[] = {
        "k0 \u00e4.bin", "k1%41~;c=d.bin", "k2.bin", "k3.bin", "k4.bin", "k5.bin", "same.bin", "same.bin"};
    QStringList expected;
    for (int i = 0; i < 8; ++i) {
        Add(Job(QString("/size=%1/%2").arg(sizes[i]).arg(names[i])));
        expected << "File Saved: " + Out(names[i]) + " TotalKB: " + QString::number(runningKB[i]);
    }

    ASSERT_TRUE(Run());

    EXPECT_EQ(Logged("File Saved: "), expected);
    EXPECT_EQ(server.Requests().mid(0, 2), (QStringList{"/size=512/k0%20%C3%A4.bin", "/size=1536/k1%41~;c=d.bin"}));
    EXPECT_EQ(server.Requests().filter("same.bin"), (QStringList{"/size=1000/same.bin", "/size=2000/same.bin"}));
    EXPECT_EQ(FileBytes(Out("same.bin")), TestHttpServer::Body(0, 2000));
    ExpectSummary(8, 1033);
}

// Three jobs with per-file post-processing. Job 2's first item answers at
// once, its others only after ten seconds; when the first is saved, Stop is
// clicked while the run waits for a free slot.
TEST_F(RunIntegration, StopDuringTheSecondJobEndsTheRunAfterTheFirstJobsPostProcessing)
{
    app.Settings().NumDLs = 2;
    for (const QString path : {"/size=1500/a#1#.bin", "/size=1000/delay=#1#0000/b#1#.bin", "/size=100/c#1#.bin"})
        Add(WithCommand(Job(path, path.contains("/b") ? "0" : "1", path.contains("/b") ? "4" : "2"), Echo("#FILE#")));
    for (int i = 0; i < 2; ++i)
        OnComplete(i, [this](FileDL &download) {
            if (download.UserStr().endsWith("b0.bin"))
                app.Engine().RunClick(); // Stop
        });

    ASSERT_TRUE(Run());

    EXPECT_TRUE(app.Engine().LastRunStopped());
    EXPECT_TRUE(app.Engine().BusyDownloads().empty()) << "busy slots are cancelled";
    EXPECT_EQ(FileBytes(Appended()), "a1.bin\na2.bin\n") << "only job 1 is post-processed";
    EXPECT_EQ(Logged("Execute Post Processing: "), QStringList{"Execute Post Processing: Row: 0"});
    EXPECT_EQ(OutFiles(), (QStringList{"a1.bin", "a2.bin", "b0.bin"}));
    EXPECT_EQ(server.Requests().filter("/b").size(), 2) << "no item is started after the Stop";
    EXPECT_TRUE(LogLines().filter(" > c").isEmpty()) << "job 3 is not expanded";
    EXPECT_EQ(Counters().TotalCount, 9);
    ExpectSummary(3, 3);

    ASSERT_TRUE(WaitUntil([&] { return server.OpenRequests() == 0; })) << "the cancelled request is closed";
    EXPECT_EQ(Counters().ScannedCount, 3) << "the cancelled download never reports, not even an error";
    EXPECT_EQ(completions.size(), 3u);
}

// Job 1's only download answers after 2 s: the end wait (shortened to 1 s)
// gives up, job 1 is post-processed (its file is not there yet) and job 2 is
// downloaded on the other slot while the slow download goes on.
TEST_F(RunIntegration, ADownloadOutlivingTheEndWaitNoLongerHoldsUpTheRun)
{
    app.Settings().NumDLs = 2;
    app.Engine().SetEndWaitBudget(1000);
    Add(WithCommand(Job("/size=100/delay=2000/slow.bin"), Echo("#FILE#")));
    Add(Job("/size=100/q#1#.bin", "1", "2"));

    ASSERT_TRUE(Run());

    ASSERT_TRUE(WaitUntil([&] { return Counters().FoundCount == 3; }, 5000));
    const QStringList lines = LogLines();
    const qsizetype postProcessed = lines.indexOf("Execute Post Processing: Row: 0");
    const qsizetype firstOfJob2 = lines.indexOf("File Saved: " + Out("q1.bin") + " TotalKB: 0");
    ASSERT_GE(postProcessed, 0);
    EXPECT_LT(postProcessed, firstOfJob2);
    EXPECT_LT(firstOfJob2, lines.indexOf("File Saved: " + Out("slow.bin") + " TotalKB: 0"));
    EXPECT_FALSE(QFileInfo::exists(Appended())) << "job 1 was post-processed before its file came";
    ASSERT_EQ(completions.size(), 3u);
    EXPECT_EQ(completions[1].slot, 1) << "job 2 runs on the slot left free";
    EXPECT_GE(runMs, 1000);
}

// Lowering the slot count during a run (as the slot-count box does): the
// downloads on the higher slots are neither waited for nor cancelled, and
// their completions are ignored.
TEST_F(RunIntegration, DownloadsOnSlotsAboveALoweredCountAreNotWaitedForAndTheirCompletionsIgnored)
{
    Add(Job("/size=100/delay=#1#000/n#1#.bin", "0", "2"));
    OnComplete(0, [this](FileDL &) { app.Engine().SetSlotCount(1); });

    ASSERT_TRUE(Run());

    EXPECT_EQ(app.Settings().NumDLs, 1);
    EXPECT_TRUE(FetchEngineProbe::Download(app.Engine(), 1).IsDownloading()) << "the run did not wait for slot 1";
    EXPECT_TRUE(FetchEngineProbe::Download(app.Engine(), 2).IsDownloading());
    ASSERT_TRUE(WaitUntil([&] { return completions.size() == 3; }, 5000)) << "both higher slots complete";
    EXPECT_EQ(OutFiles(), QStringList{"n0.bin"});
    EXPECT_EQ(Counters().ScannedCount, 1);
}

// The log is started by the first run and by every run with ResetLog set.
TEST_F(RunIntegration, TheLogHoldsEveryRunSinceItWasLastStarted)
{
    const int32_t record = Add(Job("/size=10/first.jpg"));
    for (const QString name : {"first.jpg", "second.jpg", "third.jpg"}) {
        app.Settings().ResetLog = name == "third.jpg";
        app.Jobs().Record(record).Url = server.Url("/size=10/" + name);
        ASSERT_TRUE(Run());
        EXPECT_EQ(Logged("Log file opened at ").size(), 1) << name.toStdString();
        EXPECT_TRUE(Logged("Log file closed at ").isEmpty());
    }
    EXPECT_EQ(Logged("File Saved: "), QStringList{"File Saved: " + Out("third.jpg") + " TotalKB: 0"});
    app.Settings().ResetLog = false;
    ASSERT_TRUE(Run());
    EXPECT_EQ(Logged("File Saved: ").size(), 2) << "kept without ResetLog";
}

// The counting pass fails on row 1 (its two sequences make more than 2^31
// items) before anything is downloaded; the run ends with the message and
// no summary, and the next run works.
TEST_F(RunIntegration, ABoundOutOfRangeEndsTheRunWithUnexpectedEvent)
{
    Add(Job("/size=10/pre#1#.jpg", "1", "2"));
    JobRecord huge = Job("/size=10/bad#1#_#2#.jpg", "1", "100000");
    huge.U2 = "100000";
    const int32_t record = Add(huge);

    ASSERT_TRUE(Run());

    const QString failure = app.Engine().LastFailure();
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_EQ(view.Messages, QStringList{"Unexpected event: " + failure});
    EXPECT_TRUE(view.OverallTexts.filter("Completed").isEmpty());
    EXPECT_EQ(view.Captions, (QStringList{"&Stop", "&Run"}));
    EXPECT_EQ(view.SlotBoxShown, (std::vector<bool>{true, false}));
    EXPECT_TRUE(server.Requests().isEmpty());

    app.Jobs().Record(record).U1 = "2";
    app.Jobs().Record(record).U2 = "1";
    view = RunRecorder();
    ASSERT_TRUE(Run());
    EXPECT_TRUE(view.Messages.isEmpty());
    ExpectSummary(4, 0);
}

// What the user may do while a run is going: editing and copying go ahead,
// actions that would remove, reorder or replace rows, or rebuild the shared
// queue, are refused; either way the run ends as it would have. The user
// has dragged the Url and Prefix columns to other places: the run still
// reads each job's fields from their own columns.
using RunRules = RunIntegrationFixture;

TEST_F(RunRules, ActionsThatWouldPullRowsFromUnderTheRunAreRefusedAndTheRunEndsIntact)
{
    Add(Job("/size=100/delay=#1#00/a#1#.bin", "1", "3"));
    Add(Job("/size=200/b#1#.bin", "1", "2", "", "p_"));
    app.FillGrid();
    app.LG().SetColPosition(JobColUrl, JobColCategory);
    app.LG().SetColPosition(JobColPrefix, JobColL1);
    const QString otherList = dir.filePath("other.txt");
    ASSERT_TRUE(SaveJobs(otherList, {Job("/size=10/other.bin")}));
    bool asked = false, load = true, remove = true, postProcess = true;
    int32_t copyRow = -1;
    OnComplete(0, [&](FileDL &) {
        if (std::exchange(asked, true))
            return;
        EXPECT_FALSE(app.Engine().AllowsRowChanges());
        load = app.LoadList(otherList);
        remove = app.DeleteJob(0);
        postProcess = app.Engine().PostProcessRow(0);
        copyRow = app.CopyJob(1);
    });

    ASSERT_TRUE(Run());

    ASSERT_EQ(app.LG().ColPosition(JobColCategory), JobColUrl) << "the columns stayed swapped";
    EXPECT_EQ(std::make_tuple(load, remove, postProcess), std::make_tuple(false, false, false));
    EXPECT_EQ(copyRow, 2) << "a copy is appended during a run";
    EXPECT_EQ(OutFiles(), (QStringList{"a1.bin", "a2.bin", "a3.bin", "p_b1.bin", "p_b2.bin"}));
    EXPECT_TRUE(server.Requests().filter("other").isEmpty());
    ExpectSummary(5, 0);
    ASSERT_EQ(app.LG().ItemCount(), 3);
    EXPECT_EQ(app.Jobs().JobText(2, JobColUrl), app.Jobs().JobText(1, JobColUrl));
    EXPECT_TRUE(app.DeleteJob(0)) << "after the run";
    EXPECT_TRUE(app.Jobs().Record(1).Deleted);
    app.FillGrid(); // the deleted job's row stays out; the others keep their records
    EXPECT_EQ(
        std::make_tuple(app.LG().ItemCount(), app.LG().ItemData(0), app.LG().ItemData(1)), std::make_tuple(2, 2, 3));
}

using LongSequence = RunIntegrationFixture;

// Stop arrives through the event loop once the queue of a 100,000,000-item
// job is being logged: the run ends there with its summary, nothing is
// downloaded, and only the first part of the queue reached the log, in whole
// lines.
TEST_F(LongSequence, StopDuringTheExpansionOfAHugeJobEndsTheRun)
{
    constexpr int32_t Items = 100000000;
    Add(Job("/size=10/f#1#.bin", "1", QString::number(Items)));
    bool stopPosted = false;
    view.OnProcessEvents = [&] {
        if (stopPosted || FetchEngineProbe::Context(app.Engine()).Queue.QueueCount() != Items)
            return;
        stopPosted = true;
        QTimer::singleShot(0, [&] { app.Engine().Stop(); });
    };

    ASSERT_TRUE(Run());

    EXPECT_TRUE(stopPosted) << "the expansion let the event loop turn";
    EXPECT_EQ(Counters().TotalCount, Items);
    EXPECT_TRUE(server.Requests().isEmpty());
    ExpectSummary(0, 0);
    ASSERT_LT(QFileInfo(app.Settings().LogFile).size(), 1 << 28) << "the expansion went on";
    const QStringList lines = LogLines();
    EXPECT_LT(lines.size(), Items / 100);
    EXPECT_TRUE(FileBytes(app.Settings().LogFile).endsWith(".bin\r\n")) << "the queue's lines are whole";
}
