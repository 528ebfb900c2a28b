#include "engine/RunIntegrationFixture.h"

namespace {

class UntilMissingCli : public RunIntegrationFixture {
protected:
    // A list of this one job.
    QString ListOf(const JobRecord &job, const QString &name)
    {
        app.Jobs().ReplaceRecords({JobRecord()});
        return SaveList({job}, name);
    }
};

} // namespace

// Nine slots against a server that has files 1 to 20 (and not 5 and 6) of a
// sequence 1 to 1000: the files that exist are saved, nothing else is left
// in the folder, the log says where the sequence ended, and the missing
// files do not make the run fail. Without the option they do; with it a
// failure that is not a missing file still does.
TEST_F(UntilMissingCli, MissingFilesEndTheSequenceWithoutFailingTheRun)
{
    app.Settings().NumDLs = 9;
    const QString path = "/exist=20/gapfrom=5/gapto=6/missingdelay=20/f#1#.bin";
    const QString list = ListOf(Job(path, "1", "1000"), "jobs.txt");
    const CliResult result = RunTavrin({"--run", "--until-missing", "4", list});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, "");
    ExpectCompleted(result.out.trimmed(), 18, 0);
    EXPECT_LE(server.Requests().size(), 20 + 4 + 9);
    QStringList saved;
    for (int i = 1; i <= 20; ++i)
        if (i != 5 && i != 6)
            saved << QString("f%1.bin").arg(i);
    EXPECT_EQ(Sorted(OutFiles()), Sorted(saved));
    EXPECT_EQ(FileLines(dir.filePath("appdata/Velmora/TvLog.txt")).filter("Sequence ended after "),
        QStringList{"Sequence ended after 4 missing files: " + server.Url(QString(path).replace("#1#", "24"))});

    const struct {
        QStringList arguments;
        int exitCode;
    } others[] = {
        {{"--run", ListOf(Job("/exist=2/f#1#.bin", "1", "5"), "without.txt")}, 1},
        {{"--run", "--until-missing", "2", ListOf(Job("/status=500/x.bin"), "failing.txt")}, 1},
        {{"--run", "--until-missing", "2", ListOf(Job("/status=404/one.jpg"), "single.txt")}, 0},
    };
    for (const auto &c : others) {
        const CliResult other = RunTavrin(c.arguments);
        EXPECT_EQ(other.exitCode, c.exitCode) << c.arguments.join(' ').toStdString() << other.err.toStdString();
    }
}

// --run uses the option the window saved in the data folder; its flag
// overrides it for that run alone.
TEST_F(UntilMissingCli, RunUsesTheSavedOptionAndTheFlagOverridesIt)
{
    const QString conf = dir.filePath("appdata/Velmora/Tavrin.conf");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("appdata/Velmora")));
    ASSERT_TRUE(WriteFile(conf, "[Options]\nUntilMissing=2\n"));
    app.Settings().NumDLs = 1;
    const QString list = ListOf(Job("/exist=3/f#1#.bin", "1", "50"), "jobs.txt");
    const struct {
        QStringList arguments;
        int exitCode;
        int requests;
    } cases[] = {
        {{"--run", list}, 0, 5},
        {{"--run", "--until-missing", "0", list}, 1, 50},
        {{"--run", "--until-missing", "4", list}, 0, 7},
    };
    for (const auto &c : cases) {
        const qsizetype before = server.Requests().size();
        const CliResult result = RunTavrin(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(server.Requests().size() - before, c.requests) << c.arguments.join(' ').toStdString();
    }
    EXPECT_EQ(QString::fromUtf8(FileBytes(conf)).split('\n', Qt::SkipEmptyParts),
        (QStringList{"[Options]", "UntilMissing=2"}));
}
