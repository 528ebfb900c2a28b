#include "HardeningFixture.h"

#include "engine/PathVariables.h"

namespace {

using HardeningPaths = HardeningFixture;

// Windows drive paths name nothing here: they must not become folders or
// files in the working folder.
TEST_F(HardeningPaths, ADriveLetterOutputFolderIsUnusable)
{
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir().mkpath(dir.filePath("cwd")));
    QDir::setCurrent(dir.filePath("cwd"));
    for (const QString output : {"C:\\Pics", "c:/x/y", "D:", "%APPPATH%\\x"}) {
        QString folder = output;
        ResolveOutputFolder(folder, "C:\\Data");
        EXPECT_EQ(folder.isEmpty(), output != "%APPPATH%\\x") << output.toStdString();
    }
    EXPECT_TRUE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    QDir::setCurrent(saved);

    JobRecord job = Job("/size=10/p.jpg");
    job.Output = "C:\\Pics";
    Add(job);
    ASSERT_TRUE(Run());
    const QStringList skipped = Logged("Unable to Access Output Folder : ");
    EXPECT_EQ(QSet<QString>(skipped.begin(), skipped.end()), QSet<QString>{"Unable to Access Output Folder : C:\\Pics"});
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(HardeningPaths, ADriveLetterLogFileFailsTheRunNamingIt)
{
    const QString logFile = "C:\\Users\\me\\TvLog.txt";
    const QString list = SaveList({Job("/size=10/l.jpg")});
    app.Settings().LogFile = logFile;
    ASSERT_TRUE(JobListFile::SaveJobList(list, app.Settings(), app.Jobs()));

    const CliResult result = RunTavrin({"--run", list});

    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("Unexpected event: ")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(logFile)) << result.err.toStdString();
    EXPECT_TRUE(QDir(dir.filePath("cwd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

// A new account or a container: not even ~/.local/share exists yet.
TEST_F(HardeningPaths, TheDataFolderIsCreatedWithItsMissingParents)
{
    const QString list = SaveList({Job("/size=10/d.jpg")});
    environment.remove("APPDATA");
    environment.remove("XDG_DATA_HOME");
    environment.insert("HOME", dir.filePath("newhome"));
    QDir().mkpath(dir.filePath("newhome"));

    const CliResult result = RunTavrin({"--run", list});

    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(FileLines(dir.filePath("newhome/.local/share/Velmora/TvLog.txt")).value(0).startsWith("Log file opened"));
}

// A checked job skipped because its folder is unusable means not every file
// was saved.
TEST_F(HardeningPaths, AJobSkippedForItsFolderMakesTheRunExitWithOne)
{
    JobRecord skipped = Job("/size=10/s.jpg");
    skipped.Output = "C:\\Pics";
    const QString list = SaveList({Job("/size=10/ok.jpg"), skipped});

    const CliResult result = RunTavrin({"--run", list});

    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    ExpectCompleted(result.out.trimmed(), 1, 0, 30);
}

} // namespace
