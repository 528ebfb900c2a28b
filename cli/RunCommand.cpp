#include "cli/RunCommand.h"

#include "app/AppCore.h"
#include "cli/ConsoleView.h"

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

} // namespace

int RunJobsWithoutWindow(const QString &listFile)
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
    const bool allSaved = !control.LastRunStopped() && !givenUp && run.FoundCount == run.TotalCount;
    return allSaved ? 0 : 1;
}
