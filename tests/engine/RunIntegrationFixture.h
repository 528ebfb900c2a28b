#pragma once

#include "app/JobListFile.h"
#include "engine/FetchEngineProbe.h"
#include "engine/FileDL.h"
#include "startup/AppCore.h"
#include "support/ScopedEnvironment.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <signal.h>
#include <unistd.h>
#include <vector>

class RunRecorder : public RunView {
public:
    std::vector<int32_t> OverallValues;
    QStringList OverallTexts;
    std::array<std::vector<int32_t>, 9> SlotValues;
    QStringList Captions;
    QStringList Messages;
    std::vector<bool> SlotBoxShown;
    int BusyOn = 0;
    int BusyOff = 0;

    void SetOverallValue(int32_t value) override { OverallValues.push_back(value); }
    void SetOverallText(const QString &text) override { OverallTexts << text; }
    void SetSlotValue(int slot, int32_t value) override { SlotValues.at(size_t(slot)).push_back(value); }
    void ShowSlotBox(bool visible) override { SlotBoxShown.push_back(visible); }
    void SetRunCaption(const QString &caption) override { Captions << caption; }
    void SetBusyPointer(bool busy) override { ++(busy ? BusyOn : BusyOff); }
    void ShowMessage(const QString &text) override { Messages << text; }

    // Called whenever the engine lets the event loop turn.
    std::function<void()> OnProcessEvents;
    void ProcessEvents() override
    {
        if (OnProcessEvents)
            OnProcessEvents();
        RunView::ProcessEvents();
    }
};

// What a slot reported when one of its downloads completed.
struct Completion {
    int slot = -1;
    int32_t item = 0; // queue item number (UserNum)
};

// What "tavrin" printed and how it ended.
struct CliResult {
    int exitCode = -2; // -1 after a crash, -2 when it did not end
    QString out, err;
};

// A headless application with a recorder, a temporary folder for the log and
// the downloads, and a local HTTP server. Jobs are added as records and
// become grid rows when the run starts; or they are saved as a job list for
// the built program.
class RunIntegrationFixture : public ::testing::Test {
protected:
    RunIntegrationFixture()
    {
        QDir().mkpath(dir.filePath("appdata"));
        env.Set("APPDATA", dir.filePath("appdata").toLocal8Bit());
        environment = QProcessEnvironment::systemEnvironment();
        app.SetView(&view);
        app.Settings().LogFile = dir.filePath("log.txt");
        app.Settings().NumDLs = 3;
        app.Jobs().SetupJobGrid();
        for (int i = 0; i < 9; ++i)
            OnComplete(i, [this, i](FileDL &download) { completions.push_back({i, download.UserNum()}); });
    }

    // Bodies are spooled beside their targets; none may stay behind.
    void TearDown() override
    {
        const QStringList spooled = QDir(OutFolder()).entryList({"*.part"}, QDir::Files | QDir::Hidden);
        EXPECT_TRUE(spooled.isEmpty()) << spooled.join(' ').toStdString();
    }

    template <typename Handler>
    void OnComplete(int slot, Handler handler)
    {
        FileDL &download = FetchEngineProbe::Download(app.Engine(), slot);
        QObject::connect(&download, &FileDL::DownloadComplete, &download, [&download, handler] { handler(download); });
    }
    // A checked one-sequence job on the local server; the files go to "out".
    JobRecord Job(const QString &pathTemplate, const QString &l1 = "1", const QString &u1 = "1",
        const QString &format1 = "", const QString &prefix = "")
    {
        return JobRecord{"1", "", server.Url(pathTemplate), l1, u1, format1, "1", "1", "", prefix, OutFolder()};
    }
    static JobRecord WithCommand(JobRecord job, const QString &cmd, const QString &allPP = "0",
        const QString &sepPP = " ", const QString &runPP = "1")
    {
        job.CmdPP = cmd;
        job.AllPP = allPP;
        job.RunPP = runPP;
        job.SepPP = sepPP;
        return job;
    }
    int32_t Add(const JobRecord &job) { return app.Jobs().AppendRecord(job); }
    // A command that appends words to pp.txt, so the file shows what ran
    // and in what order.
    QString Echo(const QString &words) const { return QString("/bin/sh -c \"echo %1 >> %2\"").arg(words, Appended()); }
    QString Appended() const { return dir.filePath("pp.txt"); }

    static QStringList Sorted(QStringList list)
    {
        std::sort(list.begin(), list.end());
        return list;
    }
    QString OutFolder() const { return dir.filePath("out"); }
    QString Out(const QString &name) const { return dir.filePath("out/" + name); }
    QStringList OutFiles() const { return QDir(OutFolder()).entryList(QDir::Files | QDir::Hidden); }

    // Fills the grid from the records and clicks Run. A watchdog clicks Stop
    // if the run is still going after 30 s; false when it had to.
    bool Run()
    {
        app.FillGrid();
        bool watchdogFired = false;
        QObject watchdogScope;
        QTimer::singleShot(30000, &watchdogScope, [&] {
            watchdogFired = app.Engine().IsRunning();
            if (watchdogFired)
                app.Engine().RunClick();
        });
        QElapsedTimer clock;
        clock.start();
        app.Engine().RunClick();
        runMs = clock.elapsed();
        return !watchdogFired;
    }

    // Adds the jobs and saves all records as a job list the way the program
    // does, with the default log file; gives its path.
    QString SaveList(const std::vector<JobRecord> &jobs, const QString &name = "jobs.txt")
    {
        app.Settings().LogFile.clear();
        for (const JobRecord &job : jobs)
            Add(job);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(JobListFile::SaveJobList(path, app.Settings(), app.Jobs()));
        return path;
    }

    // Runs tavrin with `environment`, in the working folder "cwd" and in a
    // process group of its own (as a shell starts a job); whileRunning is
    // called once it started.
    CliResult RunTavrin(const QStringList &arguments, const std::function<void(QProcess &)> &whileRunning = {})
    {
        QDir().mkpath(dir.filePath("cwd"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.filePath("cwd"));
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        process.start(TAVRIN_EXECUTABLE, arguments);
        CliResult result;
        if (!process.waitForStarted(10000))
            return result;
        if (whileRunning)
            whileRunning(process);
        if (process.waitForFinished(30000))
            result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        process.kill();
        process.waitForFinished(5000);
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }
    // Sends signal to the program, or with group to its whole process group
    // (as a terminal's Ctrl+C does), once ready holds (waiting up to ten
    // seconds, serving nothing).
    static void Signal(
        QProcess &process, int signal, const std::function<bool()> &ready = [] { return true; }, bool group = false)
    {
        for (int waited = 0; !ready() && waited < 10000; waited += 20)
            process.waitForFinished(20);
        if (ready() && process.state() == QProcess::Running)
            ::kill((group ? -1 : 1) * pid_t(process.processId()), signal);
    }

    const RunState &Counters() { return app.Engine().Counters(); }
    QStringList LogLines() const { return FileLines(app.Settings().LogFile); }
    QStringList Logged(const QString &start) const
    {
        return LogLines().filter(QRegularExpression("^" + QRegularExpression::escape(start)));
    }

    // "Completed N Files (K KB) in S Secs." with S no more than maxSecs.
    static void ExpectCompleted(const QString &summary, int files, int kb, qint64 maxSecs = 30)
    {
        static const QRegularExpression form(R"(^Completed (\d+) Files \((\d+) KB\) in (\d+) Secs\.$)");
        const QRegularExpressionMatch match = form.match(summary);
        ASSERT_TRUE(match.hasMatch()) << summary.toStdString();
        EXPECT_EQ(match.captured(1).toInt(), files);
        EXPECT_EQ(match.captured(2).toInt(), kb);
        EXPECT_LE(match.captured(3).toLongLong(), maxSecs) << summary.toStdString();
    }
    // The end of a completed run: the summary on the overall bar at 100.
    void ExpectSummary(int files, int kb) const
    {
        const QString summary = app.Engine().LastSummary();
        ExpectCompleted(summary, files, kb, (runMs + 500) / 1000);
        EXPECT_EQ(view.OverallTexts.value(view.OverallTexts.size() - 1), summary);
        EXPECT_EQ(view.OverallValues.back(), 100);
        EXPECT_EQ(view.Captions, (QStringList{"&Stop", "&Run"}));
        EXPECT_EQ(view.SlotBoxShown, (std::vector<bool>{true, false}));
    }

    // Member order: the application goes first, before the view and the
    // records it reports to and the server its downloads talk to.
    ScopedEnvironment env;
    TestHttpServer server;
    QTemporaryDir dir;
    RunRecorder view;
    std::vector<Completion> completions;
    qint64 runMs = 0;
    QProcessEnvironment environment;
    AppCore app;
};
