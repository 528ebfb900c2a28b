#include "startup/AppCore.h"
#include "app/JobListFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result RunTavrin(const QStringList &arguments, const QString &appData)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("APPDATA", appData);
    process.setProcessEnvironment(environment);
    process.start(TAVRIN_EXECUTABLE, arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(ListCommandCli, PrintsTheSettingsAndEveryJobOfALoadedList)
{
    QTemporaryDir dir;
    AppCore app;
    app.Settings().Separator = "|";
    app.Settings().LogFile = "/tmp/tv.log";
    app.Settings().NumDLs = 4;
    app.Settings().ResetLog = true;
    for (const char *category : {"one", "two", "three"}) {
        JobRecord job;
        job.Get = "1";
        job.Category = category;
        job.CmdPP = "echo #FILE#";
        app.Jobs().AppendRecord(job);
    }
    app.Jobs().Record(2).Deleted = true;
    const QString path = dir.filePath("list with blanks.txt");
    ASSERT_TRUE(JobListFile::SaveJobList(path, app.Settings(), app.Jobs()));

    const Result result = RunTavrin({"--list", path}, dir.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, "");
    const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "Separator=|");
    EXPECT_EQ(lines[1], "LogFile=/tmp/tv.log");
    EXPECT_EQ(lines[2], "ResetLog=1");
    EXPECT_EQ(lines[3], "NumDLs=4");
    EXPECT_EQ(lines[4], "1\t1\tone" + QString(14, '\t') + "echo #FILE#");
    EXPECT_TRUE(lines[5].startsWith("2\t1\tthree\t")) << "row 2 shows record 2 of the file";
}

TEST(ListCommandCli, AMissingListPrintsTheDefaultJobsAndExitsWithTwo)
{
    QTemporaryDir dir;
    const Result result = RunTavrin({"--list", dir.filePath("nothing-here.txt")}, dir.path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.startsWith("Unable to load: ")) << result.err.toStdString();
    const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[3], "NumDLs=3");
    EXPECT_TRUE(lines[13].startsWith("10\t\tCat\thttp://\t1\t10\t00\t1\t10\t000\tPre_\t%TEMP%\\Tavrin\\.10"));
}

TEST(ListCommandCli, WrongArgumentsExitWithTwo)
{
    QTemporaryDir dir;
    EXPECT_EQ(RunTavrin({"--list", "a", "b"}, dir.path()).exitCode, 2);
    EXPECT_EQ(RunTavrin({"--frobnicate"}, dir.path()).exitCode, 2);
    const Result version = RunTavrin({"--version"}, dir.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("Tavrin "));
}
