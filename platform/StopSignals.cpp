#include "platform/StopSignals.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int Handled[] = {SIGINT, SIGTERM, SIGHUP};

int stopPipe[2] = {-1, -1};
volatile std::sig_atomic_t stops = 0;
std::array<StopSignals::CleanUp, 4> cleanUps{};

void OnSignal(int signal)
{
    if (++stops >= 2) {
        for (const StopSignals::CleanUp cleanUp : cleanUps) {
            if (cleanUp)
                cleanUp();
        }
        _exit(128 + signal);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(stopPipe[1], &byte, 1);
}

void Handle(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Handled)
        sigaction(signal, &action, nullptr);
}

} // namespace

StopSignals::StopSignals(std::initializer_list<CleanUp> beforeExit, std::function<void()> onStop)
    : action(std::move(onStop))
{
    // Counted afresh for each bridge: a signal an earlier one took is not
    // this one's first.
    stops = 0;
    cleanUps = {};
    size_t count = 0;
    for (const CleanUp cleanUp : beforeExit) {
        if (count < cleanUps.size())
            cleanUps[count++] = cleanUp;
    }
    // Close-on-exec: started programs must not inherit the pipe.
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier = new QSocketNotifier(stopPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [this] {
        char byte;
        while (read(stopPipe[0], &byte, 1) > 0)
            Trigger();
    });
    Handle(OnSignal);
}

StopSignals::~StopSignals()
{
    Handle(SIG_DFL);
    delete notifier;
    for (int &fd : stopPipe) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}

void StopSignals::SetAction(std::function<void()> onStop)
{
    action = std::move(onStop);
}

void StopSignals::Trigger()
{
    if (action)
        action();
}
