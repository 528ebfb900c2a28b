#include "platform/Descriptors.h"
#include "platform/StopSignals.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

bool ClosedOnExec(int descriptor)
{
    return (::fcntl(descriptor, F_GETFD) & FD_CLOEXEC) != 0;
}

// A library that opens descriptors the plain way: what it opens is marked,
// what was open before is left as it was.
TEST(Descriptors, OnlyWhatOpensInsideIsMarkedCloseOnExec)
{
    int before[2] = {-1, -1}, inside[2] = {-1, -1};
    ASSERT_EQ(::pipe(before), 0);

    CloseOnExecWhatOpens([&] { ASSERT_EQ(::pipe(inside), 0); });

    const std::vector<bool> marked{ClosedOnExec(before[0]), ClosedOnExec(before[1]), ClosedOnExec(inside[0]),
                                   ClosedOnExec(inside[1])};
    EXPECT_EQ(marked, (std::vector<bool>{false, false, true, true}));
    for (const int descriptor : {before[0], before[1], inside[0], inside[1]})
        EXPECT_EQ(CloseDescriptor(descriptor), 0);
}

// Each stop signal becomes one call on the event loop, never from inside
// the handler, and the process goes on.
TEST(StopSignals, EachSignalBecomesOneCallOnTheEventLoop)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        int calls = 0;
        StopSignals stop({}, [&] { ++calls; });
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_EQ(calls, 0) << signal;
        const QDeadlineTimer deadline(5000);
        while (calls == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_EQ(calls, 1) << signal;
    }
}

} // namespace
