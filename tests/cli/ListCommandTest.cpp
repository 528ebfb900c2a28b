#include "startup/AppCore.h"
#include "app/JobListFile.h"

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

// The file is saved in the Windows layout (UTF-16LE, CR LF); each job line
// starts with its record index. A field may hold a lone CR or LF: each job
// still prints as one line of seventeen fields.
TEST(ListCommandCli, PrintsTheSettingsAndEveryJobOfAWindowsMadeList)
{
    QTemporaryDir dir;
    AppCore app;
    app.Settings().Separator = "|";
    app.Settings().LogFile = "/tmp/tv\nlog";
    app.Settings().NumDLs = 4;
    app.Settings().ResetLog = true;
    for (const char *category : {"one", "two"})
        app.Jobs().AppendRecord(JobRecord{"1", category, "", "", "", "", "", "", "", "", "", "", "", "", "", "echo #FILE#"});
    app.Jobs().AppendRecord(JobRecord{"1", "a\rb", "http://x/\n#1#"});
    const QString path = dir.filePath("list with blanks.txt");
    ASSERT_TRUE(JobListFile::SaveJobList(path, app.Settings(), app.Jobs()));

    const Result result = RunTavrin({"--list", path}, dir.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Separator=|\nLogFile=/tmp/tv\u240Alog\nResetLog=1\nNumDLs=4\n"
                          "1\t1\tone" + QString(14, '\t') + "echo #FILE#\n"
                          "2\t1\ttwo" + QString(14, '\t') + "echo #FILE#\n"
                          "3\t1\ta\u240Db\thttp://x/\u240A#1#" + QString(13, '\t') + "\n");
}

TEST(ListCommandCli, ExitStatusesOfArgumentsAndLoads)
{
    QTemporaryDir dir;
    const struct {
        QStringList arguments;
        int exitCode;
        QString outStart, errStart;
        int outLines;
    } cases[] = {
        // The jobs are printed as start-up fills them: the ten default jobs.
        {{"--list", dir.filePath("nothing-here.txt")}, 2, "Separator=", "Unable to load: ", 14},
        {{"--list", "a", "b"}, 2, "", "tavrin: ", 0},
        {{"--frobnicate"}, 2, "", "tavrin: ", 0},
        {{"--version"}, 0, "Tavrin ", "", 1},
    };
    for (const auto &c : cases) {
        const Result result = RunTavrin(c.arguments, dir.path());
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.out.left(c.outStart.size()), c.outStart);
        EXPECT_EQ(result.err.left(c.errStart.size()), c.errStart);
        EXPECT_EQ(result.out.count('\n'), c.outLines) << result.out.toStdString();
    }
}
