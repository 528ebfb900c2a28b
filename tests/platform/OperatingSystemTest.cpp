#include "platform/StopSignals.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

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
