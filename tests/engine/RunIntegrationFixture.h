#pragma once

#include "startup/AppCore.h"
#include "engine/FetchEngineProbe.h"
#include "engine/FileDL.h"
#include "support/ScopedEnvironment.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <vector>

// Records everything a run shows.
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
};

// What a slot reported when one of its downloads completed.
struct Completion {
    int slot = -1;
    int32_t item = 0; // queue item number (UserNum)
    QString target;   // UserStr
};

// A headless application with a recorder, a temporary folder for the log and
// the downloads, and a local HTTP server. Jobs are added as records and
// become grid rows when the run starts.
class RunIntegrationFixture : public ::testing::Test {
protected:
    RunIntegrationFixture()
    {
        QDir().mkpath(dir.filePath("appdata"));
        env.Set("APPDATA", dir.filePath("appdata").toLocal8Bit());
        app.SetView(&view);
        app.Settings().LogFile = dir.filePath("log.txt");
        app.Settings().NumDLs = 3;
        app.Jobs().SetupJobGrid();
        for (int i = 0; i < 9; ++i)
            OnComplete(i, [this, i](FileDL &download) {
                completions.push_back({i, download.UserNum(), download.UserStr()});
            });
    }

    // Bodies are spooled beside their targets; none may stay behind.
    void TearDown() override
    {
        const QStringList spooled = QDir(OutFolder()).entryList({"*.part"}, QDir::Files | QDir::Hidden);
        EXPECT_TRUE(spooled.isEmpty()) << spooled.join(' ').toStdString();
    }

    template <typename Handler> void OnComplete(int slot, Handler handler)
    {
        FileDL &download = FetchEngineProbe::Download(app.Engine(), slot);
        QObject::connect(&download, &FileDL::DownloadComplete, &download, [&download, handler] { handler(download); });
    }
    // Clicks Stop when the download of a target ending in name completes.
    void StopWhenSaved(const QString &name)
    {
        for (int i = 0; i < 9; ++i)
            OnComplete(i, [this, name](FileDL &download) {
                if (download.UserStr().endsWith(name))
                    app.Engine().RunClick();
            });
    }

    // A checked one-sequence job on the local server; the files go to "out".
    JobRecord Job(const QString &pathTemplate, const QString &l1 = "1", const QString &u1 = "1",
                  const QString &format1 = "", const QString &prefix = "")
    {
        return JobRecord{"1", "", server.Url(pathTemplate), l1, u1, format1, "1", "1", "", prefix, OutFolder()};
    }
    int32_t Add(const JobRecord &job) { return app.Jobs().AppendRecord(job); }

    QString OutFolder() const { return dir.filePath("out"); }
    QString Out(const QString &name) const { return dir.filePath("out/" + name); }
    QStringList OutFiles() const { return QDir(OutFolder()).entryList(QDir::Files | QDir::Hidden); }
    bool AnySlotBusy()
    {
        for (int i = 0; i < 9; ++i)
            if (FetchEngineProbe::Download(app.Engine(), i).IsDownloading())
                return true;
        return false;
    }

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

    const RunState &Counters() { return app.Engine().Counters(); }
    QStringList LogLines() const { return FileLines(app.Settings().LogFile); }
    QStringList Logged(const QString &start) const
    {
        return LogLines().filter(QRegularExpression("^" + QRegularExpression::escape(start)));
    }

    // "Completed N Files (K KB) in S Secs." with S no more than maxSecs.
    static void ExpectCompleted(const QString &summary, int files, int kb, qint64 maxSecs)
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
    AppCore app;
};
