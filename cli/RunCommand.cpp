#include "cli/RunCommand.h"

#include "cli/ConsoleView.h"
#include "cli/ExitStatus.h"
#include "platform/Descriptors.h"
#include "platform/StopSignals.h"
#include "startup/AppCore.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>

namespace {

constexpr int PollInterval = 100; // ms

// A job waits only so long for its last downloads; without a window the
// program would end under them, so it waits here until they have ended
// (saved, failed or given up with Ctrl+C).
void WaitForDownloadsStillRunning(const FetchEngine &engine, const bool &givenUp)
{
    while (!engine.BusyDownloads().empty() && !givenUp) {
        QEventLoop loop;
        QTimer::singleShot(PollInterval, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// When the whole run's time is up, it stops as by Ctrl+C.
std::unique_ptr<QTimer> StartTimeLimit(double seconds, StopSignals &interrupt)
{
    if (seconds <= 0)
        return nullptr;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [&interrupt] { interrupt.Trigger(); });
    timer->start(std::chrono::milliseconds(qint64(seconds * 1000)));
    return timer;
}

ProgressReadout ReadoutFor(const RunOverrides &overrides)
{
    if (overrides.ProgressLines)
        return ProgressReadout::Lines;
    return StandardErrorIsTerminal() ? ProgressReadout::Live : ProgressReadout::None;
}

} // namespace

int RunJobsWithoutWindow(const QString &listFile, double maxTimeSeconds, const RunOverrides &overrides)
{
    ConsoleView view(ReadoutFor(overrides));
    AppCore app;
    app.SetView(&view);
    app.StartUp(listFile);
    if (view.MessageShown())
        return ExitBadListOrArguments;
    AppOptions &options = app.Settings().Options;
    options.UntilMissing = overrides.UntilMissing.value_or(options.UntilMissing);
    options.SkipExisting = overrides.SkipExisting.value_or(options.SkipExisting);
    options.Retries = overrides.Retries.value_or(options.Retries);
    options.WaitMs = overrides.WaitMs.value_or(options.WaitMs);

    FetchEngine &engine = app.Engine();
    view.Watch(engine);
    // The test suite shortens a job's ten-second end wait this way.
    const QByteArray endWait = qgetenv("TAVRIN_END_WAIT_MS");
    if (!endWait.isEmpty())
        engine.SetEndWaitBudget(endWait.toInt());
    QElapsedTimer clock;
    clock.start();
    bool givenUp = false;
    {
        // Ctrl+C, SIGTERM and SIGHUP: the Stop click during the run, giving up
        // the downloads still running after it. A second one ends the program
        // at once, leaving no spool file and no running command behind.
        StopSignals interrupt({&AppCore::RemoveLeftovers}, [&engine] { engine.Stop(); });
        const std::unique_ptr<QTimer> timeLimit = StartTimeLimit(maxTimeSeconds, interrupt);
        engine.RunClick();
        interrupt.SetAction([&] {
            givenUp = true;
            engine.GiveUpAll();
        });
        if (engine.LastFailure().isEmpty())
            WaitForDownloadsStillRunning(engine, givenUp);
    }
    view.EndLiveProgress();
    if (!engine.LastFailure().isEmpty())
        return ExitUnexpected;
    std::printf("%s\n", engine.CompletedText(clock.elapsed()).toLocal8Bit().constData());
    std::fflush(stdout);
    const RunState &run = engine.Counters();
    const bool allSaved = !engine.LastRunStopped() && !givenUp &&
        run.FoundCount + run.ExistingCount + run.MissingCount + run.LeftAfterEnd == run.TotalCount &&
        run.SkippedJobs == 0;
    return allSaved ? ExitOk : ExitNotAllSaved;
}
