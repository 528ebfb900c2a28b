#include "cli/RunCommand.h"

#include "app/AppCore.h"
#include "cli/ConsoleView.h"
#include "cli/Signals.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

bool AnyDownloadRunning(DownloadSlots &slots)
{
    for (int i = 0; i < DownloadSlots::SlotCount; ++i) {
        if (slots.Instance(i).IsDownloading())
            return true;
    }
    return false;
}

// A job waits only so long for its last downloads before the run goes on;
// without a window the program would end under them, so it waits here until
// they have ended (saved, failed or given up with Ctrl+C).
void WaitForDownloadsStillRunning(DownloadSlots &slots, const bool &givenUp)
{
    while (AnyDownloadRunning(slots) && !givenUp) {
        QEventLoop loop;
        QTimer::singleShot(DownloadSlots::PollInterval, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// When the whole run's time is up, it stops as by Ctrl+C.
std::unique_ptr<QTimer> StartTimeLimit(double seconds, InterruptHandler &interrupt)
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

} // namespace

int RunJobsWithoutWindow(const QString &listFile, double maxTimeSeconds)
{
    ConsoleView view(isatty(STDERR_FILENO) == 1);
    AppCore app;
    app.SetView(&view);
    app.StartUp(listFile);
    if (view.MessageShown())
        return 2;

    RunControl &control = app.Engine.Control;
    DownloadSlots &slots = app.Engine.Slots;
    view.Watch(slots, app.Settings);
    QElapsedTimer clock;
    clock.start();
    bool givenUp = false;
    {
        InterruptHandler interrupt([&control] { control.RunClick(); });
        const std::unique_ptr<QTimer> timeLimit = StartTimeLimit(maxTimeSeconds, interrupt);
        control.RunClick();
        interrupt.SetAction([&] {
            givenUp = true;
            for (int i = 0; i < DownloadSlots::SlotCount; ++i)
                slots.Instance(i).Cancel(QString::number(i));
        });
        if (control.LastFailure().isEmpty())
            WaitForDownloadsStillRunning(slots, givenUp);
    }
    view.EndLiveProgress();
    if (!control.LastFailure().isEmpty())
        return 3;
    std::printf("%s\n", control.CompletedText(clock.elapsed()).toLocal8Bit().constData());
    std::fflush(stdout);
    const RunState &run = app.Engine.Context.Run;
    const bool allSaved = !control.LastRunStopped() && !givenUp && run.FoundCount == run.TotalCount
        && run.SkippedJobs == 0;
    return allSaved ? 0 : 1;
}
