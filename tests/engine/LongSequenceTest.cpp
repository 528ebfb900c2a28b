#include "RunIntegrationFixture.h"

#include <QFileInfo>

using LongSequence = RunIntegrationFixture;

// Stop arrives through the event loop once the queue of a 100,000,000-item
// job is being logged: the run ends there with its summary, nothing is
// downloaded, and only the first part of the queue reached the log, in whole
// lines.
TEST_F(LongSequence, StopDuringTheExpansionOfAHugeJobEndsTheRun)
{
    constexpr int32_t Items = 100000000;
    Add(Job("/size=10/f#1#.bin", "1", QString::number(Items)));
    bool stopPosted = false;
    view.OnProcessEvents = [&] {
        if (stopPosted || FetchEngineProbe::Context(app.Engine()).Queue.QueueCount() != Items)
            return;
        stopPosted = true;
        QTimer::singleShot(0, [&] { app.Engine().Stop(); });
    };

    ASSERT_TRUE(Run());

    EXPECT_TRUE(stopPosted) << "the expansion let the event loop turn";
    EXPECT_EQ(Counters().TotalCount, Items);
    EXPECT_TRUE(server.Requests().isEmpty());
    ExpectSummary(0, 0);
    ASSERT_LT(QFileInfo(app.Settings().LogFile).size(), 1 << 28) << "the expansion went on";
    const QStringList lines = LogLines();
    EXPECT_GT(lines.size(), 2);
    EXPECT_LT(lines.size(), Items / 100);
    EXPECT_TRUE(FileBytes(app.Settings().LogFile).endsWith(".bin\r\n")) << "the queue's lines are whole";
}
