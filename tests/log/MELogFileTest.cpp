#include "log/MELogFile.h"
#include "log/RunLog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList LinesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLocal8Bit(file.readAll()).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

const QRegularExpression OpeningLine("^Log file opened at \\d\\d:\\d\\d:\\d\\d on .+ as #[1-9]\\d*$");
const QRegularExpression ClosingLine("^Log file closed at \\d\\d:\\d\\d:\\d\\d on .+$");

} // namespace

TEST(MELogFile, OpeningLineEventLinesAndClosingLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old content\r\n");
    }
    {
        MELogFile log;
        log.SetFileName(path);
        log.StartLog();
        log.AddLogLine("first é");
        // Readable while open, without a flush.
        EXPECT_EQ(LinesOf(path).size(), 2);
        log.FlushLog();
        log.AddLogLine("second");
    }
    const QStringList lines = LinesOf(path);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(OpeningLine.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "first é");
    EXPECT_EQ(lines[2], "second");
    EXPECT_TRUE(ClosingLine.match(lines[3]).hasMatch()) << lines[3].toStdString();
}

TEST(MELogFile, WithoutAFileNameItRaisesLogError)
{
    MELogFile log;
    int number = 0;
    QString source;
    QObject::connect(&log, &MELogFile::LogError, [&](int32_t n, const QString &s) {
        number = n;
        source = s;
    });
    log.StartLog();
    EXPECT_EQ(number, 52);
    EXPECT_EQ(source, "MELogFile: StartLogging");
}

TEST(MELogFile, AFolderThatDoesNotExistFailsTheStart)
{
    QTemporaryDir dir;
    MELogFile log;
    log.SetFileName(dir.filePath("missing/log.txt"));
    EXPECT_THROW(log.StartLog(), LogOpenError);
}

TEST(RunLog, ARestartWritesTheClosingLineThenEmptiesTheFile)
{
    QTemporaryDir dir;
    const QString logFile = dir.filePath("run.txt");
    RunLog log;
    EXPECT_FALSE(log.Exists());
    log.StartRunLog(logFile);
    log.AddLogLine("run 1");
    log.AddLogLine("run 2");
    EXPECT_EQ(LinesOf(logFile).size(), 3) << "runs without a reset append";

    log.StartRunLog(logFile);
    log.AddLogLine("run 3");
    const QStringList lines = LinesOf(logFile);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(OpeningLine.match(lines[0]).hasMatch());
    EXPECT_EQ(lines[1], "run 3");
}

TEST(MELogFile, PrivateProfileReadAndWrite)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("settings.ini");
    MELogFile log;
    EXPECT_EQ(log.ReadINI(ini, "Main", "Key"), "Error reading: " + ini);
    log.WriteINI(ini, "Main", "Key", "one");
    log.WriteINI(ini, "Other", "Key", "two");
    log.WriteINI(ini, "main", "KEY", "three");
    log.WriteINI(ini, "Main", "Second", "four");
    EXPECT_EQ(log.ReadINI(ini, "MAIN", "key"), "three");
    EXPECT_EQ(log.ReadINI(ini, "Other", "Key"), "two");
    EXPECT_EQ(log.ReadINI(ini, "Main", "Second"), "four");
    EXPECT_EQ(log.ReadINI(ini, "Main", "Missing"), "Error reading: " + ini);
    log.WriteINI(ini, "Main", "Long", QString(300, 'x'));
    EXPECT_EQ(log.ReadINI(ini, "Main", "Long").size(), 255);
    EXPECT_EQ(LinesOf(ini), QStringList({"[Main]", "KEY=three", "Second=four", "Long=" + QString(300, 'x'),
                                         "[Other]", "Key=two"}));
}
