#include "cli/RunCommand.h"

#include "app/AppCore.h"
#include "cli/ConsoleView.h"

#include <QSocketNotifier>
#include <csignal>
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

// Turns Ctrl+C into the Stop click, delivered by the event loop like a
// click on the window's button.
class InterruptAsStop {
public:
    explicit InterruptAsStop(RunControl &control)
    {
        if (pipe(interruptPipe) != 0)
            return;
        notifier = new QSocketNotifier(interruptPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, [&control] {
            char byte;
            [[maybe_unused]] const ssize_t got = read(interruptPipe[0], &byte, 1);
            if (control.IsRunning())
                control.RunClick();
            else
                _exit(130);
        });
        std::signal(SIGINT, OnInterrupt);
    }
    ~InterruptAsStop()
    {
        std::signal(SIGINT, SIG_DFL);
        delete notifier;
        for (int &fd : interruptPipe) {
            if (fd >= 0)
                close(fd);
            fd = -1;
        }
    }

private:
    QSocketNotifier *notifier = nullptr;
};

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
    view.Watch(app.Engine.Slots, app.Settings);
    {
        InterruptAsStop interrupt(control);
        control.RunClick();
    }
    view.EndLiveProgress();
    if (!control.LastFailure().isEmpty())
        return 3;
    std::printf("%s\n", control.LastSummary().toLocal8Bit().constData());
    std::fflush(stdout);
    const RunState &run = app.Engine.Context.Run;
    const bool allSaved = !control.LastRunStopped() && run.FoundCount == run.TotalCount;
    return allSaved ? 0 : 1;
}
