#include "engine/ShellAndWait.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Long enough that a blind wait of one step would stand out at once.
const int LongStep = 60000;

QString Quoted(const QString &script)
{
    return "sh -c \"" + script + "\"";
}

class ShellAndWaitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        marker = temp.filePath("marker");
    }

    QTemporaryDir temp;
    QString marker;
};

} // namespace

TEST_F(ShellAndWaitTest, ReturnsAsSoonAsTheProcessHasEnded)
{
    ShellAndWaitRequest request;
    request.CommandLine = Quoted("sleep 0.3; touch '" + marker + "'");
    request.WaitStep = LongStep;
    QElapsedTimer clock;
    clock.start();

    EXPECT_TRUE(ShellAndWait(request));

    EXPECT_LT(clock.elapsed(), LongStep / 2);
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_FALSE(request.Running);
    EXPECT_GT(request.ProcessId, 0);
    EXPECT_GE(request.Duration, 250);
    EXPECT_EQ(request.StartTime.msecsTo(request.EndTime), request.Duration);
}

struct OutcomeCase {
    const char *commandLine;
    bool expected;
};

TEST_F(ShellAndWaitTest, TrueOnlyWhenTheProcessStartedAndEndedNormally)
{
    const OutcomeCase cases[] = {
        {"true", true},
        {"/bin/true", true},
        {"sh -c \"exit 3\"", true},
        {"sh -c \"kill -9 $$\"", false},
        {"tavrin-no-such-program --flag", false},
        {"/nonexistent/folder/tool", false},
        {"", false},
        {"   ", false},
    };
    for (const OutcomeCase &c : cases) {
        ShellAndWaitRequest request;
        request.CommandLine = c.commandLine;
        request.WaitStep = LongStep;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(ShellAndWait(request), c.expected) << c.commandLine;
        EXPECT_LT(clock.elapsed(), LongStep / 2) << c.commandLine;
        EXPECT_FALSE(request.Running) << c.commandLine;
    }
}

TEST_F(ShellAndWaitTest, EventsAreServedWhileWaiting)
{
    // Ticks counted only while the process still runs; a wait that served
    // events only between its 1000 ms steps would see two at most.
    int ticksWhileRunning = 0;
    QTimer ticker;
    ticker.setInterval(100);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (!QFile::exists(marker))
            ++ticksWhileRunning;
    });
    ticker.start();

    ShellAndWaitRequest request;
    request.CommandLine = Quoted("sleep 2.5; touch '" + marker + "'");
    EXPECT_TRUE(ShellAndWait(request));

    EXPECT_GE(ticksWhileRunning, 10);
}

TEST_F(ShellAndWaitTest, TheChildReadsNothingAndPrintsNothingOfOurs)
{
    // Input at its end at once (cat does not wait for us), output dropped.
    ShellAndWaitRequest request;
    request.CommandLine = Quoted("timeout 5 cat && echo out && echo err >&2 && touch '" + marker + "'");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool ended = ShellAndWait(request);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(ended);
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_EQ(out + err, "");
}
