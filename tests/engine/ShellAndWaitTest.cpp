#include "engine/ShellAndWait.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Long enough that a blind wait of one step would stand out at once.
const int LongStep = 60000;

} // namespace

// Ticks are counted only while the process runs: a wait that blocked, or
// served events only between its steps, would see none.
TEST(ShellAndWait, ReturnsWhenTheProcessEndsServingEventsMeanwhile)
{
    QTemporaryDir temp;
    const QString marker = temp.filePath("marker");
    int ticksWhileRunning = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticksWhileRunning += !QFile::exists(marker); });
    ticker.start(50);
    ShellAndWaitRequest request;
    request.CommandLine = "sh -c \"sleep 1; touch '" + marker + "'\"";
    request.WaitStep = LongStep;
    QElapsedTimer clock;
    clock.start();

    EXPECT_TRUE(ShellAndWait(request));

    EXPECT_LT(clock.elapsed(), LongStep / 2);
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_GE(ticksWhileRunning, 10);
    EXPECT_FALSE(request.Running);
    EXPECT_GT(request.ProcessId, 0);
    EXPECT_GE(request.Duration, 950);
    EXPECT_EQ(request.StartTime.msecsTo(request.EndTime), request.Duration);
}

// The child reads an empty input (cat ends at once instead of timing out
// and killing the shell) and its output is dropped.
TEST(ShellAndWait, TrueOnlyWhenTheProcessStartedAndEndedNormally)
{
    const std::pair<const char *, bool> cases[] = {
        {"true", true},
        {"/bin/true", true},
        {"sh -c \"exit 3\"", true},
        {"sh -c \"timeout 5 cat || kill -9 $$; echo out; echo err >&2\"", true},
        {"sh -c \"kill -9 $$\"", false},
        {"tavrin-no-such-program --flag", false},
        {"/nonexistent/folder/tool", false},
        {"", false},
        {"   ", false},
    };
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (const auto &[commandLine, expected] : cases) {
        ShellAndWaitRequest request;
        request.CommandLine = commandLine;
        request.WaitStep = LongStep;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(ShellAndWait(request), expected) << commandLine;
        EXPECT_LT(clock.elapsed(), LongStep / 2) << commandLine;
        EXPECT_FALSE(request.Running) << commandLine;
    }
    const std::string printed = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "");
}
