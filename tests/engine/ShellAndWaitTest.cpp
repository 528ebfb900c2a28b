#include "engine/ShellAndWait.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

// The wait returns when the process ends, long before one step of 60 s, and
// serves events meanwhile: a wait that blocked, or served them only between
// its steps, would see no ticks during "sleep 1". The child reads an empty
// input (cat ends at once instead of timing out and killing the shell) and
// its output is dropped.
TEST(ShellAndWait, TrueOnlyWhenTheProcessStartedAndEndedNormally)
{
    const int LongStep = 60000;
    const std::tuple<const char *, bool, int> cases[] = {
        // command line, result, least duration in ms
        {"sh -c \"sleep 1\"", true, 950},
        {"true", true, 0},
        {"sh -c \"exit 3\"", true, 0},
        {"sh -c \"timeout 5 cat || kill -9 $$; echo out; echo err >&2\"", true, 0},
        {"sh -c \"kill -9 $$\"", false, 0},
        {"tavrin-no-such-program --flag", false, 0},
        {"", false, 0},
    };
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (const auto &[commandLine, expected, leastMs] : cases) {
        ShellAndWaitRequest request;
        request.CommandLine = commandLine;
        request.WaitStep = LongStep;
        ticks = 0;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(ShellAndWait(request), expected) << commandLine;
        EXPECT_LT(clock.elapsed(), LongStep / 2) << commandLine;
        EXPECT_FALSE(request.Running) << commandLine;
        EXPECT_GE(request.Duration, leastMs) << commandLine;
        EXPECT_GE(ticks, leastMs / 100) << commandLine;
    }
    const std::string printed = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "");
}
