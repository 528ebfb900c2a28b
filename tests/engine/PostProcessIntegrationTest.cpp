#include "RunIntegrationFixture.h"

#include <QFileInfo>

namespace {

// Post-processing with real commands: "/bin/sh -c" appends what the command
// line was given to a file, so the file shows what ran and in what order.
class PostProcessIntegration : public RunIntegrationFixture {
protected:
    QString Appended() const { return dir.filePath("pp.txt"); }
    QString AppendedText() const
    {
        QFile file(Appended());
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString("<missing>");
    }
    // A shell command line that echoes words into pp.txt.
    QString Echo(const QString &words) const
    {
        return QString("/bin/sh -c \"echo %1 >> %2\"").arg(words, Appended());
    }
    JobRecord WithCommand(JobRecord job, const QString &cmd, const QString &allPP = "0", const QString &runPP = "1",
                          const QString &sepPP = " ")
    {
        job.CmdPP = cmd;
        job.AllPP = allPP;
        job.RunPP = runPP;
        job.SepPP = sepPP;
        return job;
    }
};

} // namespace

// Item 1 of the post-processed job breaks off mid-body, so only items 2 and 3
// have files; each runs its own command, in queue order, after the job's
// downloads.
TEST_F(PostProcessIntegration, PerFileRunsOneCommandPerSavedFileAfterTheDownloads)
{
    Add(Job("/size=10/plain.jpg"));
    Add(WithCommand(Job("/size=1500/drop=#1#000/f#1#.jpg", "1", "3", "", "p_"),
                    Echo("#FILEPATH# #FILE# #FILENAME# #FILEEXT#")));

    ASSERT_TRUE(Run());

    ASSERT_FALSE(QFileInfo::exists(Out("p_f1.jpg")));
    EXPECT_EQ(AppendedText(), QString("%1 p_f2.jpg p_f2 jpg\n%2 p_f3.jpg p_f3 jpg\n")
                                  .arg(Out("p_f2.jpg"), Out("p_f3.jpg")));
    const QStringList lines = LogLines();
    const int execute = int(lines.indexOf("Execute Post Processing: Row: 1"));
    ASSERT_GE(execute, 0) << lines.join('\n').toStdString();
    ASSERT_LT(execute + 2, lines.size());
    EXPECT_EQ(lines[execute + 1],
              "  Command (2): " + Echo(QString("%1 p_f2.jpg p_f2 jpg").arg(Out("p_f2.jpg"))));
    EXPECT_EQ(lines[execute + 2],
              "  Command (3): " + Echo(QString("%1 p_f3.jpg p_f3 jpg").arg(Out("p_f3.jpg"))));
    EXPECT_EQ(LogLinesStartingWith("Execute Post Processing: ").size(), 1) << "row 0 has no command";
    EXPECT_EQ(LogLinesStartingWith("  Command").size(), 2);
    const int lastSaved = int(lines.lastIndexOf(QRegularExpression("^File Saved: ")));
    EXPECT_LT(lastSaved, execute) << "the job's downloads end before its post-processing";
    EXPECT_EQ(view.BusyOn, 1);
    EXPECT_GE(view.BusyOff, 1);
    ExpectSummary(3, 2);
}

namespace {

struct OneCallCase {
    const char *name;
    QString cmd; // "%2": pp.txt
    QString sepPP;
    QString command; // as logged; "%1": the output folder, "%2": pp.txt
    QString echoed;  // "%1": the output folder
};

QString Filled(QString text, const QString &folder, const QString &appended)
{
    return text.replace("%1", folder).replace("%2", appended);
}

void PrintTo(const OneCallCase &call, std::ostream *out)
{
    *out << call.name;
}

class PostProcessOneCall : public PostProcessIntegration, public ::testing::WithParamInterface<OneCallCase> {};

} // namespace

// The items end in the reverse of queue order (item 1 sends six slow parts,
// item 3 two), but the one command gets the files in queue order.
TEST_P(PostProcessOneCall, JoinsTheFilesInQueueOrder)
{
    const OneCallCase &call = GetParam();
    const QString output = OutFolder() + "/";
    JobRecord job = Job("/size=6000/chunk=#1#000/chunkdelay=100/f#1#.bin", "1", "3");
    job.Output = output;
    Add(WithCommand(job, Filled(call.cmd, output, Appended()), "1", "1", call.sepPP));

    ASSERT_TRUE(Run());

    ASSERT_EQ(completions.size(), 3u);
    ASSERT_EQ(completions.front().item, 3) << "precondition: the downloads end out of queue order";
    EXPECT_EQ(AppendedText(), Filled(call.echoed, output, Appended()) + "\n");
    const QStringList lines = LogLines();
    const int execute = int(lines.indexOf("Execute Post Processing: Row: 0"));
    ASSERT_GE(execute, 0) << lines.join('\n').toStdString();
    ASSERT_LT(execute + 1, lines.size());
    EXPECT_EQ(lines[execute + 1], "  Command: " + Filled(call.command, output, Appended()));
    EXPECT_EQ(LogLinesStartingWith("  Command").size(), 1);
    ExpectSummary(3, 18);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PostProcessOneCall,
    ::testing::Values(
        // Placeholders in any letter case; "#OUT#" is the output folder as
        // stored; "#FILEPATH#" stays as written when "#FILE#" is used.
        OneCallCase{"NamesJoinedByABlank", "/bin/sh -c \"echo #file# '#FILEPATH#' >> #out#../pp.txt\"", " ",
                    "/bin/sh -c \"echo f1.bin f2.bin f3.bin '#FILEPATH#' >> %1../pp.txt\"",
                    "f1.bin f2.bin f3.bin #FILEPATH#"},
        OneCallCase{"PathsJoinedBySemicolons", "/bin/sh -c \"echo '#FilePath#' >> %2\"", ";",
                    "/bin/sh -c \"echo '%1f1.bin;%1f2.bin;%1f3.bin' >> %2\"", "%1f1.bin;%1f2.bin;%1f3.bin"}),
    [](const ::testing::TestParamInfo<OneCallCase> &info) { return std::string(info.param.name); });

TEST_F(PostProcessIntegration, AJobWhoseDownloadsAllFailedRunsNoCommand)
{
    Add(WithCommand(Job("/status=404/gone#1#.jpg", "1", "2"), Echo("#FILE#"), "1"));
    Add(WithCommand(Job("/status=404/lost#1#.jpg", "1", "2"), Echo("#FILE#"), "0"));

    ASSERT_TRUE(Run());

    EXPECT_EQ(LogLinesStartingWith("Unable to Execute Post Processing: "),
              QStringList{"Unable to Execute Post Processing: Row=0. No files found!"});
    const QStringList lines = LogLines();
    const int noFiles = int(lines.indexOf("Unable to Execute Post Processing: Row=0. No files found!"));
    ASSERT_LT(noFiles + 1, lines.size());
    EXPECT_EQ(lines[noFiles + 1], "Post Process was aborted.");
    EXPECT_EQ(LogLinesStartingWith("Execute Post Processing: "), QStringList{"Execute Post Processing: Row: 1"})
        << "the per-file form logs its start only";
    EXPECT_TRUE(LogLinesStartingWith("  Command").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Appended()));
    ExpectSummary(0, 0);
}

TEST_F(PostProcessIntegration, CommandsWithoutAFilePlaceholderOrWithOnlyBlanksDoNotRun)
{
    Add(WithCommand(Job("/size=10/one.jpg"), Echo("#FILENAME#")));
    Add(WithCommand(Job("/size=10/two.jpg"), "   "));

    ASSERT_TRUE(Run());

    EXPECT_EQ(LogLinesStartingWith("Unable to Execute Post Processing: "),
              QStringList{"Unable to Execute Post Processing: #FILE# or #FILEPATH# missing from Post Process"});
    EXPECT_EQ(LogLines().count("Post Process was aborted."), 1);
    EXPECT_TRUE(LogLinesStartingWith("Execute Post Processing: ").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Appended()));
    EXPECT_EQ(view.BusyOn, 1) << "the blank command does nothing at all";
    ExpectSummary(2, 0);
}

// A row action post-processes whatever RunPP says: it rebuilds the job's
// queue (logging its URLs again) without downloading, and runs the command
// on the files an earlier run left.
TEST_F(PostProcessIntegration, ARowActionRunsTheCommandOnFilesAnEarlierRunLeft)
{
    const int32_t record = Add(WithCommand(Job("/size=10/r#1#.jpg", "1", "2"), Echo("#FILE#"), "0", "0"));

    ASSERT_TRUE(Run());
    ASSERT_FALSE(QFileInfo::exists(Appended())) << "RunPP is not 1";
    EXPECT_TRUE(LogLinesStartingWith("Execute Post Processing: ").isEmpty());
    const int requests = int(server.Requests().size());
    const int urlLines = int(LogLines().filter(" > ").size());

    app.Engine.PostProcess.PostProcessJob(record, 0, false);

    EXPECT_EQ(AppendedText(), "r1.jpg\nr2.jpg\n");
    EXPECT_EQ(LogLines().filter(" > ").size(), 2 * urlLines);
    EXPECT_EQ(server.Requests().size(), requests) << "nothing is downloaded again";
    const QStringList lines = LogLines();
    const int execute = int(lines.indexOf("Execute Post Processing: Row: 0"));
    ASSERT_GE(execute, 0);
    ASSERT_LT(execute + 2, lines.size());
    EXPECT_EQ(lines[execute + 1], "  Command (1): " + Echo("r1.jpg"));
    EXPECT_EQ(lines[execute + 2], "  Command (2): " + Echo("r2.jpg"));
}

TEST_F(PostProcessIntegration, ARowActionWithABoundOutOfRangeLogsTheFailure)
{
    JobRecord job = WithCommand(Job("/size=10/r#1#.jpg", "1", "2"), Echo("#FILE#"));
    job.L2 = "99999999999";
    const int32_t record = Add(job);
    app.FillGrid();

    app.Engine.PostProcess.PostProcessJob(record, 0, false);

    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("Log file opened at ")) << "post-processing starts the log";
    EXPECT_TRUE(lines[1].startsWith("Post Process error: ")) << lines[1].toStdString();
    EXPECT_GT(lines[1].size(), QString("Post Process error: ").size()) << "with the failure's description";
    EXPECT_EQ(view.BusyOn, view.BusyOff) << "the pointer is restored";
    EXPECT_FALSE(QFileInfo::exists(Appended()));
    EXPECT_TRUE(server.Requests().isEmpty());
}
