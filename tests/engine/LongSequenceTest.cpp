#include "engine/FetchEngineProbe.h"
#include "startup/AppCore.h"
#include "support/ScopedEnvironment.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A view that lets a test act whenever the engine lets the event loop turn.
class HookedView : public RunView {
public:
    std::function<void()> OnProcessEvents;
    void ProcessEvents() override
    {
        if (OnProcessEvents)
            OnProcessEvents();
        RunView::ProcessEvents();
    }
};

// The first and the last line of a file and its number of lines, read in
// blocks: the log of a long queue is not held in memory.
struct FileShape {
    qint64 lines = 0;
    QByteArray firstLine;
    QByteArray tail;
};

FileShape ShapeOf(const QString &path)
{
    FileShape shape;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return shape;
    while (!file.atEnd()) {
        const QByteArray block = file.read(1 << 20);
        if (shape.firstLine.isEmpty())
            shape.firstLine = block.left(block.indexOf('\n') + 1);
        shape.lines += block.count('\n');
        shape.tail = (shape.tail + block).right(4096);
    }
    return shape;
}

} // namespace

// An application that the test can end, so that the log gets its closing line.
class LongSequence : public ::testing::Test {
protected:
    LongSequence()
    {
        QDir().mkpath(dir.filePath("appdata"));
        env.Set("APPDATA", dir.filePath("appdata").toLocal8Bit());
        app->SetView(&view);
        app->Settings().LogFile = dir.filePath("log.txt");
        app->Jobs().SetupJobGrid();
    }

    ScopedEnvironment env;
    TestHttpServer server;
    QTemporaryDir dir;
    HookedView view;
    std::unique_ptr<AppCore> app = std::make_unique<AppCore>();
};

// Stop arrives through the event loop once the queue of a 100,000,000-item
// job is being logged: the run ends there with its summary, nothing is
// downloaded, and only the first part of the queue reached the log, in whole
// lines.
TEST_F(LongSequence, StopDuringTheExpansionOfAHugeJobEndsTheRun)
{
    constexpr int32_t Items = 100000000;
    app->Jobs().AppendRecord(JobRecord{"1", "", server.Url("/size=10/f#1#.bin"), "1", QString::number(Items), "", "1", "1",
                                       "", "", dir.filePath("out")});
    FetchContext &context = FetchEngineProbe::Context(app->Engine());
    bool stopPosted = false;
    view.OnProcessEvents = [&] {
        if (stopPosted || context.Queue.QueueCount() != Items)
            return;
        stopPosted = true;
        QTimer::singleShot(0, [&] { app->Engine().Stop(); });
    };
    app->FillGrid();
    app->Engine().RunClick();

    EXPECT_TRUE(stopPosted) << "the expansion let the event loop turn";
    EXPECT_FALSE(app->Engine().IsRunning());
    EXPECT_TRUE(app->Engine().LastRunStopped());
    EXPECT_TRUE(QRegularExpression(R"(^Completed 0 Files \(0 KB\) in \d+ Secs\.$)")
                    .match(app->Engine().LastSummary())
                    .hasMatch())
        << app->Engine().LastSummary().toStdString();
    EXPECT_EQ(app->Engine().Counters().TotalCount, Items);
    EXPECT_TRUE(server.Requests().isEmpty());
    app.reset();

    const FileShape log = ShapeOf(dir.filePath("log.txt"));
    EXPECT_GT(log.lines, 2);
    EXPECT_LT(log.lines, Items / 100);
    EXPECT_TRUE(log.firstLine.startsWith("Log file opened at ")) << log.firstLine.toStdString();
    const QList<QByteArray> last = log.tail.split('\n');
    ASSERT_GE(last.size(), 3);
    EXPECT_TRUE(last.at(last.size() - 2).startsWith("Log file closed at "));
    EXPECT_TRUE(last.at(last.size() - 3).endsWith(".bin\r")) << "the queue's lines are whole";
}
