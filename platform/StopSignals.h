#pragma once

#include <functional>
#include <initializer_list>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a call on the event loop, through a
// pipe that the signal handler writes and a notifier reads. A second signal
// ends the process at once with 128 + the signal, after the clean-up hooks
// (which must be async-signal-safe) have removed what must not outlive it.
// One at a time: the handler and its state belong to the process.
class StopSignals {
public:
    using CleanUp = void (*)();

    StopSignals(std::initializer_list<CleanUp> beforeExit, std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    void SetAction(std::function<void()> onStop);
    // What a first signal does, for other reasons to stop (a time limit).
    void Trigger();

private:
    std::function<void()> action;
    QSocketNotifier *notifier = nullptr;
};
