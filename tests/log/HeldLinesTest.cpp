#include "log/MELogFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray BytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A log started on a file of its own.
struct StartedLog {
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    MELogFile log;

    StartedLog()
    {
        log.SetFileName(path);
        log.StartLog();
    }
};

} // namespace

// Held lines stay off the disk until one of the moments that writes them;
// then they all arrive, in order and whole, and later lines follow them.
TEST(MELogFile, HeldLinesReachTheFileWhenWrittenFlushedReleasedOrClosed)
{
    const struct {
        const char *moment;
        std::function<void(MELogFile &)> write;
    } cases[] = {
        {"WriteHeldLines", [](MELogFile &log) { log.WriteHeldLines(); }},
        {"FlushLog", [](MELogFile &log) { log.FlushLog(); }},
        {"holding ends", [](MELogFile &log) { log.HoldLines(false); }},
    };
    for (const auto &c : cases) {
        StartedLog started;
        const QString &path = started.path;
        MELogFile &log = started.log;
        const QByteArray opening = BytesOf(path);
        log.HoldLines(true);
        log.AddLogLine("one");
        log.AddLogLine("two");
        EXPECT_EQ(BytesOf(path), opening) << c.moment;
        c.write(log);
        EXPECT_EQ(BytesOf(path), opening + "one\r\ntwo\r\n") << c.moment;
        log.AddLogLine("three");
        log.WriteHeldLines();
        EXPECT_EQ(BytesOf(path), opening + "one\r\ntwo\r\nthree\r\n") << c.moment;
    }
}

TEST(MELogFile, HeldLinesComeBeforeTheClosingLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    {
        MELogFile log;
        log.SetFileName(path);
        log.StartLog();
        log.HoldLines(true);
        log.AddLogLine("held");
    }
    const QList<QByteArray> lines = BytesOf(path).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], "held\r");
    EXPECT_TRUE(lines[2].startsWith("Log file closed at "));
}

// A long run of held lines is written in blocks on its way, each of whole
// lines, without waiting for the next waiting point.
TEST(MELogFile, AFullBlockOfHeldLinesIsWrittenWholeLinesOnly)
{
    StartedLog started;
    const QString &path = started.path;
    MELogFile &log = started.log;
    log.HoldLines(true);
    const QString line(99, u'x');
    for (int i = 0; i < 30000; ++i)
        log.AddLogLine(line);
    const QByteArray written = BytesOf(path);
    EXPECT_GT(written.size(), 1000000) << "a full block went out while held";
    EXPECT_LT(written.size(), 3000000) << "the rest is still held";
    EXPECT_TRUE(written.endsWith("x\r\n"));
}

// A hold inside another (a queue logged inside a run's job) does not write
// the lines when it ends: the outer one decides.
TEST(MELogFile, AnInnerHoldLeavesTheLinesToTheOuterOne)
{
    StartedLog started;
    const QString &path = started.path;
    MELogFile &log = started.log;
    const QByteArray opening = BytesOf(path);
    log.HoldLines(true);
    log.HoldLines(true);
    log.AddLogLine("inner");
    log.HoldLines(false);
    EXPECT_EQ(BytesOf(path), opening);
    log.HoldLines(false);
    EXPECT_EQ(BytesOf(path), opening + "inner\r\n");
    log.HoldLines(false);
    log.AddLogLine("free");
    EXPECT_EQ(BytesOf(path), opening + "inner\r\nfree\r\n") << "an extra release does not start a hold";
}
