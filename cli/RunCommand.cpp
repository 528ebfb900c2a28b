#include "cli/RunCommand.h"

#include "cli/ConsoleView.h"
#include "cli/ExitStatus.h"
#include "startup/AppCore.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <functional>
#include <cstdio>
#include <unistd.h>

namespace {

int interruptPipe[2] = {-1, -1};
volatile std::sig_atomic_t interrupts = 0;

// The first Ctrl+C asks the run to stop; a second one ends the process.
void OnInterrupt(int)
{
    if (++interrupts >= 2)
        _exit(130);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(interruptPipe[1], &byte, 1);
}

// Turns Ctrl+C into a call on the event loop: during the run it is the Stop
// click, afterwards it gives up the downloads still running.
class InterruptHandler {
public:
    explicit InterruptHandler(std::function<void()> onInterrupt) : action(std::move(onInterrupt))
    {
        if (pipe(interruptPipe) != 0)
            return;
        notifier = new QSocketNotifier(interruptPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, [this] {
            char byte;
            [[maybe_unused]] const ssize_t got = read(interruptPipe[0], &byte, 1);
            action();
        });
        std::signal(SIGINT, OnInterrupt);
    }
    ~InterruptHandler()
    {
        std::signal(SIGINT, SIG_DFL);
        delete notifier;
        for (int &fd : interruptPipe) {
            if (fd >= 0)
                close(fd);
            fd = -1;
        }
    }
    void SetAction(std::function<void()> onInterrupt) { action = std::move(onInterrupt); }

private:
    std::function<void()> action;
    QSocketNotifier *notifier = nullptr;
};

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

} // namespace

int RunJobsWithoutWindow(const QString &listFile)
{
    ConsoleView view(isatty(STDERR_FILENO) == 1);
    AppCore app;
    app.SetView(&view);
    app.StartUp(listFile);
    if (view.MessageShown())
        return ExitBadListOrArguments;

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
        InterruptHandler interrupt([&engine] { engine.Stop(); });
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
    const bool allSaved = !engine.LastRunStopped() && !givenUp && run.FoundCount == run.TotalCount;
    return allSaved ? ExitOk : ExitNotAllSaved;
}
