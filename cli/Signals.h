#pragma once

#include <functional>

class QSocketNotifier;

// Turns Ctrl+C, SIGTERM and SIGHUP into a call on the event loop: during the
// run the call is the Stop click, afterwards it gives up the downloads still
// running. A second signal ends the process at once, but first removes any
// named spool file and ends the post-processing commands still running, so
// that nothing is left behind.
class InterruptHandler {
public:
    explicit InterruptHandler(std::function<void()> onInterrupt);
    ~InterruptHandler();
    InterruptHandler(const InterruptHandler &) = delete;
    InterruptHandler &operator=(const InterruptHandler &) = delete;

    void SetAction(std::function<void()> onInterrupt);
    // What a first signal does, for other reasons to stop (a time limit).
    void Trigger();

private:
    std::function<void()> action;
    QSocketNotifier *notifier = nullptr;
};
