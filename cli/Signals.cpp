#include "cli/Signals.h"

#include "engine/DownloadedBody.h"
#include "engine/ShellAndWait.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int StopSignals[] = {SIGINT, SIGTERM, SIGHUP};

int interruptPipe[2] = {-1, -1};
volatile std::sig_atomic_t interrupts = 0;

void OnSignal(int signal)
{
    if (++interrupts >= 2) {
        DownloadedBody::RemoveNamedSpoolFiles();
        EndRunningChildProcesses();
        _exit(128 + signal);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(interruptPipe[1], &byte, 1);
}

void Handle(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : StopSignals)
        sigaction(signal, &action, nullptr);
}

} // namespace

InterruptHandler::InterruptHandler(std::function<void()> onInterrupt) : action(std::move(onInterrupt))
{
    // Close-on-exec: post-processing commands must not inherit the pipe.
    if (pipe2(interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier = new QSocketNotifier(interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [this] {
        char byte;
        while (read(interruptPipe[0], &byte, 1) > 0)
            Trigger();
    });
    Handle(OnSignal);
}

InterruptHandler::~InterruptHandler()
{
    Handle(SIG_DFL);
    delete notifier;
    for (int &fd : interruptPipe) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}

void InterruptHandler::SetAction(std::function<void()> onInterrupt)
{
    action = std::move(onInterrupt);
}

void InterruptHandler::Trigger()
{
    if (action)
        action();
}
