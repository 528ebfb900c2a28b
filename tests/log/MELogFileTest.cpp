#include "log/MELogFile.h"
#include "support/TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

class MELogFileTest : public ::testing::Test {
protected:
    // Starts the log on its own file; gives the file's bytes then.
    QByteArray Start()
    {
        log.SetFileName(path);
        log.StartLog();
        return FileBytes(path);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    MELogFile log;
};

} // namespace

TEST_F(MELogFileTest, OpeningLineEventLinesAndClosingLine)
{
    ASSERT_TRUE(WriteFile(path, "old content\r\n"));
    {
        MELogFile started;
        started.SetFileName(path);
        started.StartLog();
        started.AddLogLine("first é");
        // Readable while open, without a flush.
        EXPECT_EQ(FileLines(path).size(), 2);
        started.FlushLog();
        started.HoldLines(true); // held lines still come before the closing line
        started.AddLogLine("second");
    }
    const QStringList lines = FileLines(path);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(
        QRegularExpression(R"(^Log file opened at \d\d:\d\d:\d\d on .+ as #[1-9]\d*$)").match(lines[0]).hasMatch())
        << lines[0].toStdString();
    EXPECT_EQ(lines.mid(1, 2), (QStringList{"first é", "second"}));
    EXPECT_TRUE(QRegularExpression(R"(^Log file closed at \d\d:\d\d:\d\d on .+$)").match(lines[3]).hasMatch())
        << lines[3].toStdString();
}

// Without a file name the start does nothing; a missing folder throws.
TEST_F(MELogFileTest, AStartWithoutAUsableFileFails)
{
    EXPECT_NO_THROW(log.StartLog());
    log.SetFileName(dir.filePath("missing/log.txt"));
    EXPECT_THROW(log.StartLog(), LogOpenError);
}

TEST_F(MELogFileTest, HeldLinesReachTheFileWhenWrittenFlushedReleasedOrClosed)
{
    const struct {
        const char *moment;
        std::function<void(MELogFile &)> write;
    } cases[] = {
        {"WriteHeldLines", [](MELogFile &held) { held.WriteHeldLines(); }},
        {"FlushLog", [](MELogFile &held) { held.FlushLog(); }},
        {"holding ends", [](MELogFile &held) { held.HoldLines(false); }},
    };
    for (const auto &c : cases) { // each on the log started afresh
        const QByteArray opening = Start();
        log.HoldLines(true);
        log.AddLogLine("one");
        log.AddLogLine("two");
        EXPECT_EQ(FileBytes(path), opening) << c.moment;
        c.write(log);
        EXPECT_EQ(FileBytes(path), opening + "one\r\ntwo\r\n") << c.moment;
        log.AddLogLine("three");
        log.WriteHeldLines();
        EXPECT_EQ(FileBytes(path), opening + "one\r\ntwo\r\nthree\r\n") << c.moment;
        log.HoldLines(false);
    }
}

TEST_F(MELogFileTest, AFullBlockOfHeldLinesIsWrittenWholeLinesOnly)
{
    Start();
    log.HoldLines(true);
    const QString line(99, u'x');
    for (int i = 0; i < 30000; ++i)
        log.AddLogLine(line);
    const QByteArray written = FileBytes(path);
    EXPECT_GT(written.size(), 1000000) << "a full block went out while held";
    EXPECT_LT(written.size(), 3000000) << "the rest is still held";
    EXPECT_TRUE(written.endsWith("x\r\n"));
}

// A hold inside another (a queue logged inside a run's job) does not write
// the lines when it ends: the outer one decides.
TEST_F(MELogFileTest, AnInnerHoldLeavesTheLinesToTheOuterOne)
{
    const QByteArray opening = Start();
    log.HoldLines(true);
    log.HoldLines(true);
    log.AddLogLine("inner");
    log.HoldLines(false);
    EXPECT_EQ(FileBytes(path), opening);
    log.HoldLines(false);
    EXPECT_EQ(FileBytes(path), opening + "inner\r\n");
    log.HoldLines(false);
    log.AddLogLine("free");
    EXPECT_EQ(FileBytes(path), opening + "inner\r\nfree\r\n") << "an extra release does not start a hold";
}
