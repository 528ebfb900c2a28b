#include "engine/RunIntegrationFixture.h"

using ListCommandCli = RunIntegrationFixture;

// The file is saved in the Windows layout (UTF-16LE, CR LF); each job line
// starts with its record index. A field may hold a lone CR or LF: each job
// still prints as one line of seventeen fields.
TEST_F(ListCommandCli, PrintsTheSettingsAndEveryJobOfAWindowsMadeList)
{
    app.Settings().Separator = "|";
    app.Settings().LogFile = "/tmp/tv\nlog";
    app.Settings().NumDLs = 4;
    app.Settings().ResetLog = true;
    for (const char *category : {"one", "two"})
        app.Jobs().AppendRecord(
            JobRecord{"1", category, "", "", "", "", "", "", "", "", "", "", "", "", "", "echo #FILE#"});
    app.Jobs().AppendRecord(JobRecord{"1", "a\rb", "http://x/\n#1#"});
    const QString path = dir.filePath("list with blanks.txt");
    ASSERT_TRUE(JobListFile::SaveJobList(path, app.Settings(), app.Jobs()));

    const CliResult result = RunTavrin({"--list", path});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
        "Separator=|\nLogFile=/tmp/tv\u240Alog\nResetLog=1\nNumDLs=4\n"
        "1\t1\tone" +
            QString(14, '\t') +
            "echo #FILE#\n"
            "2\t1\ttwo" +
            QString(14, '\t') +
            "echo #FILE#\n"
            "3\t1\ta\u240Db\thttp://x/\u240A#1#" +
            QString(13, '\t') + "\n");
}

// Wrong arguments are refused, with the usage, before anything is loaded or
// run; --max-time must be a positive number, and it and the other options of
// a run go with --run only. A
// list that cannot be loaded exits with 2, a run that fails before any
// download with 3 (a bound out of range; a Windows drive path as the log
// file, which must not become a file in the working folder).
TEST_F(ListCommandCli, ExitStatusesOfArgumentsLoadsAndFailedStarts)
{
    const QString list = SaveList({Job("/size=10/t.bin")});
    app.Settings().LogFile = "C:\\log.txt";
    const QString driveLog = dir.filePath("drive.txt");
    ASSERT_TRUE(JobListFile::SaveJobList(driveLog, app.Settings(), app.Jobs()));
    const QString outOfRange = SaveList({Job("/size=10/b#1#.jpg", "1", "99999999999")}, "range.txt");
    const struct {
        QStringList arguments;
        int exitCode;
        QString outStart, errStart;
        int outLines;
    } cases[] = {
        // The jobs are printed as start-up fills them: the ten default jobs.
        {{"--list", dir.filePath("nothing-here.txt")}, 2, "Separator=", "Unable to load: ", 14},
        {{"--run", dir.filePath("nothing-here.txt")}, 2, "", "Unable to load: ", 0},
        {{"--run", outOfRange}, 3, "", "Unexpected event: ", 0},
        {{"--run", driveLog}, 3, "", "Unexpected event: A drive path cannot be used on this system: C:\\log.txt\n", 0},
        {{"--list", "a", "b"}, 2, "", "tavrin: ", 0},
        {{"--frobnicate"}, 2, "", "tavrin: ", 0},
        {{"--version"}, 0, "Tavrin ", "", 1},
        {{"--run", "--max-time", "x", list}, 2, "", "tavrin: ", 0},
        {{"--run", "--max-time", "0", list}, 2, "", "tavrin: ", 0},
        {{"--list", "--max-time", "5", list}, 2, "", "tavrin: ", 0},
        {{"--run", list, "--max-time"}, 2, "", "tavrin: ", 0},
        // The run's options: whole numbers in their range, with --run only.
        {{"--run", "--retry", "x", list}, 2, "", "tavrin: --retry needs a whole number", 0},
        {{"--run", "--retry", "101", list}, 2, "", "tavrin: --retry needs a whole number", 0},
        {{"--run", "--until-missing", "-1", list}, 2, "", "tavrin: --until-missing needs a whole number", 0},
        {{"--list", "--skip-existing", list}, 2, "", "tavrin: --skip-existing goes with --run\n", 0},
        {{"--run", "--progress", "bars", list}, 2, "", "tavrin: --progress takes only: lines\n", 0},
        // Qt's window options mean nothing without a window; Tavrin's own
        // options may be written with one dash, as Qt's are.
        {{"--list", "-style", "fusion", list}, 2, "", "tavrin: Unknown option 'style'.", 0},
        {{"-platform", "offscreen", "--run", list}, 2, "", "tavrin: Unknown option 'platform'.", 0},
        {{"-list", list}, 0, "Separator=", "", 5},
    };
    for (const auto &c : cases) {
        const CliResult result = RunTavrin(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.out.left(c.outStart.size()), c.outStart);
        EXPECT_EQ(result.err.left(c.errStart.size()), c.errStart);
        EXPECT_EQ(result.out.count('\n'), c.outLines) << result.out.toStdString();
        EXPECT_EQ(result.err.contains("Usage: tavrin"), c.errStart.startsWith("tavrin: ")) << "after a refusal";
    }
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_EQ(QDir(dir.filePath("cwd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}
