#pragma once

#include "app/AppCore.h"
#include "engine/FileDL.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

// Records everything a run shows, and lets a test act from inside the run
// (as a click arriving while the run waits would).
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
    std::function<void(bool busy)> OnBusyPointer;

    void SetOverallValue(int32_t value) override { OverallValues.push_back(value); }
    void SetOverallText(const QString &text) override { OverallTexts << text; }
    void SetSlotValue(int slot, int32_t value) override
    {
        if (slot >= 0 && slot < int(SlotValues.size()))
            SlotValues[size_t(slot)].push_back(value);
    }
    void ShowSlotBox(bool visible) override { SlotBoxShown.push_back(visible); }
    void SetRunCaption(const QString &caption) override { Captions << caption; }
    void SetBusyPointer(bool busy) override
    {
        ++(busy ? BusyOn : BusyOff);
        if (OnBusyPointer)
            OnBusyPointer(busy);
    }
    void ShowMessage(const QString &text) override { Messages << text; }

    void Clear() { *this = RunRecorder(); }
};

// What one slot reported when one of its downloads completed.
struct Completion {
    int slot = -1;
    int32_t item = 0; // queue item number (UserNum)
    QString target;   // UserStr
};

// A headless application with a recorder, a temporary folder for the log
// and the downloads, and a local HTTP server. Jobs are added as records and
// become grid rows when the run starts.
class RunIntegrationFixture : public ::testing::Test {
protected:
    RunIntegrationFixture()
    {
        savedAppData = qgetenv("APPDATA");
        QDir().mkpath(dir.filePath("appdata"));
        qputenv("APPDATA", dir.filePath("appdata").toLocal8Bit());
        app.SetView(&view);
        app.Settings.LogFile = dir.filePath("log.txt");
        app.Settings.NumDLs = 3;
        app.Jobs.SetupJobGrid();
        for (int i = 0; i < 9; ++i) {
            FileDL &download = app.Engine.Slots.Instance(i);
            QObject::connect(&download, &FileDL::DownloadComplete, &download, [this, &download](int index) {
                completions.push_back({index, download.UserNum(), download.UserStr()});
            });
        }
    }
    ~RunIntegrationFixture() override { qputenv("APPDATA", savedAppData); }

    // Bodies are spooled beside their targets; none may stay behind, whether
    // the download was saved, failed, redirected or cancelled.
    void TearDown() override
    {
        const QStringList spooled = QDir(OutFolder()).entryList({"*.part"}, QDir::Files | QDir::Hidden);
        EXPECT_TRUE(spooled.isEmpty()) << spooled.join(' ').toStdString();
    }

    // A checked one-sequence job on the local server: the URL template is the
    // server path (options and name), the files go to the "out" folder.
    JobRecord Job(const QString &pathTemplate, const QString &l1 = "1", const QString &u1 = "1",
                  const QString &format1 = "", const QString &prefix = "")
    {
        JobRecord job;
        job.Get = "1";
        job.Url = server.Url(pathTemplate);
        job.L1 = l1;
        job.U1 = u1;
        job.Format1 = format1;
        job.L2 = "1";
        job.U2 = "1";
        job.Prefix = prefix;
        job.Output = OutFolder();
        return job;
    }
    int32_t Add(const JobRecord &job) { return app.Jobs.AppendRecord(job); }

    QString OutFolder() const { return dir.filePath("out"); }
    QString Out(const QString &name) const { return dir.filePath("out/" + name); }

    // Fills the grid from the records and clicks Run. A watchdog clicks Stop
    // if the run is still going after limitMs; false when it had to.
    bool Run(int limitMs = 30000)
    {
        app.FillGrid();
        bool watchdogFired = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            watchdogFired = true;
            if (app.Engine.Control.IsRunning())
                app.Engine.Control.RunClick();
        });
        watchdog.start(limitMs);
        QElapsedTimer clock;
        clock.start();
        app.Engine.Control.RunClick();
        runMs = clock.elapsed();
        return !watchdogFired;
    }

    RunState &Counters() { return app.Engine.Context.Run; }

    QStringList LogLines() const
    {
        QFile file(app.Settings.LogFile);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromLocal8Bit(file.readAll()).split("\r\n");
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    QStringList LogLinesStartingWith(const QString &start) const
    {
        QStringList found;
        for (const QString &line : LogLines()) {
            if (line.startsWith(start))
                found << line;
        }
        return found;
    }

    // The requests whose target contains text, in arrival order.
    QStringList RequestsFor(const QString &text) const { return server.Requests().filter(text); }

    // Checks the end of a completed run: "Completed N Files (K KB) in S
    // Secs." on the overall bar, which stands at 100, with S no more than the
    // run took.
    void ExpectSummary(int files, int kb) const
    {
        const QString summary = app.Engine.Control.LastSummary();
        static const QRegularExpression form(R"(^Completed (\d+) Files \((\d+) KB\) in (\d+) Secs\.$)");
        const QRegularExpressionMatch match = form.match(summary);
        ASSERT_TRUE(match.hasMatch()) << summary.toStdString();
        EXPECT_EQ(match.captured(1).toInt(), files);
        EXPECT_EQ(match.captured(2).toInt(), kb);
        EXPECT_LE(match.captured(3).toLongLong(), (runMs + 500) / 1000) << summary.toStdString();
        ASSERT_FALSE(view.OverallTexts.isEmpty());
        EXPECT_EQ(view.OverallTexts.last(), summary);
        ASSERT_FALSE(view.OverallValues.empty());
        EXPECT_EQ(view.OverallValues.back(), 100);
        ASSERT_FALSE(view.Captions.isEmpty());
        EXPECT_EQ(view.Captions.first(), "&Stop");
        EXPECT_EQ(view.Captions.last(), "&Run");
        ASSERT_FALSE(view.SlotBoxShown.empty());
        EXPECT_TRUE(view.SlotBoxShown.front());
        EXPECT_FALSE(view.SlotBoxShown.back());
    }

    static QByteArray FileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Runs the event loop until done() holds or timeoutMs passes.
    static bool WaitUntil(const std::function<bool()> &done, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs) {
            QEventLoop loop;
            QTimer::singleShot(10, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return done();
    }

    // Member order: the application goes first, before the view and the
    // records it reports to and the server its downloads talk to.
    TestHttpServer server;
    QTemporaryDir dir;
    RunRecorder view;
    std::vector<Completion> completions;
    qint64 runMs = 0;
    AppCore app;

private:
    QByteArray savedAppData;
};
