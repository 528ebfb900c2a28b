#include "RunIntegrationFixture.h"

#include <QFileInfo>

namespace {

// Post-processing with real commands that append what they were given to
// pp.txt, so the file shows what ran and in what order.
class PostProcessIntegration : public RunIntegrationFixture {
protected:
    QString Appended() const { return dir.filePath("pp.txt"); }
    QString Echo(const QString &words) const { return QString("/bin/sh -c \"echo %1 >> %2\"").arg(words, Appended()); }
    static JobRecord WithCommand(JobRecord job, const QString &cmd, const QString &allPP = "0",
                                 const QString &runPP = "1", const QString &sepPP = " ")
    {
        job.CmdPP = cmd;
        job.AllPP = allPP;
        job.RunPP = runPP;
        job.SepPP = sepPP;
        return job;
    }
    // The lines that follow the first one equal to first.
    QStringList LinesAfter(const QString &first, int count) const
    {
        const QStringList lines = LogLines();
        const qsizetype at = lines.indexOf(first);
        return at < 0 ? QStringList{"<no " + first + ">"} : lines.mid(at + 1, count);
    }
};

} // namespace

// Item 1 breaks off mid-body, so only items 2 and 3 have files; each runs its
// own command, in queue order, after the job's downloads.
TEST_F(PostProcessIntegration, PerFileRunsOneCommandPerSavedFileAfterTheDownloads)
{
    Add(Job("/size=10/plain.jpg"));
    Add(WithCommand(Job("/size=1500/drop=#1#000/f#1#.jpg", "1", "3", "", "p_"),
                    Echo("#FILEPATH# #FILE# #FILENAME# #FILEEXT#")));

    ASSERT_TRUE(Run());

    const QString f2 = Out("p_f2.jpg") + " p_f2.jpg p_f2 jpg", f3 = Out("p_f3.jpg") + " p_f3.jpg p_f3 jpg";
    EXPECT_EQ(FileBytes(Appended()), (f2 + "\n" + f3 + "\n").toLocal8Bit());
    EXPECT_EQ(LinesAfter("Execute Post Processing: Row: 1", 2),
              (QStringList{"  Command (2): " + Echo(f2), "  Command (3): " + Echo(f3)}));
    EXPECT_EQ(Logged("Execute Post Processing: ").size(), 1) << "row 0 has no command";
    EXPECT_EQ(Logged("  Command").size(), 2);
    const QStringList lines = LogLines();
    EXPECT_LT(lines.lastIndexOf(QRegularExpression("^File Saved: ")), lines.indexOf("Execute Post Processing: Row: 1"))
        << "the job's downloads end before its post-processing";
    ExpectSummary(3, 2);
}

// The items of each job end in the reverse of queue order (item 1 sends six
// slow parts, item 3 two), but the one command gets the files in queue order.
// Placeholders in any letter case; "#OUT#" is the output folder as stored;
// "#FILEPATH#" stays as written when "#FILE#" is used.
TEST_F(PostProcessIntegration, OneCallJoinsTheFilesInQueueOrder)
{
    const QString out = OutFolder() + "/", paths = out + "g1.bin;" + out + "g2.bin;" + out + "g3.bin";
    const struct {
        QString name, cmd, sepPP, command, echoed;
    } forms[] = {
        {"f", "/bin/sh -c \"echo #file# '#FILEPATH#' >> #out#../pp.txt\"", " ",
         "/bin/sh -c \"echo f1.bin f2.bin f3.bin '#FILEPATH#' >> " + out + "../pp.txt\"",
         "f1.bin f2.bin f3.bin #FILEPATH#"},
        {"g", Echo("'#FilePath#'"), ";", Echo("'" + paths + "'"), paths},
    };
    for (const auto &form : forms) {
        JobRecord job = Job("/size=6000/chunk=#1#000/chunkdelay=100/" + form.name + "#1#.bin", "1", "3");
        job.Output = out;
        Add(WithCommand(job, form.cmd, "1", "1", form.sepPP));
    }

    ASSERT_TRUE(Run());

    ASSERT_EQ(completions.size(), 6u);
    ASSERT_EQ(std::make_pair(completions[0].item, completions[3].item), std::make_pair(3, 3))
        << "precondition: the downloads end out of queue order";
    EXPECT_EQ(FileBytes(Appended()), (forms[0].echoed + "\n" + forms[1].echoed + "\n").toLocal8Bit());
    EXPECT_EQ(LinesAfter("Execute Post Processing: Row: 0", 1), QStringList{"  Command: " + forms[0].command});
    EXPECT_EQ(LinesAfter("Execute Post Processing: Row: 1", 1), QStringList{"  Command: " + forms[1].command});
    EXPECT_EQ(Logged("  Command").size(), 2);
    ExpectSummary(6, 36);
}

// Rows 0 and 1: every download failed (the one-call form logs it, the
// per-file form logs its start only); row 2: no file placeholder; row 3: only
// blanks, which does nothing at all.
TEST_F(PostProcessIntegration, CommandsThatCannotRunAreNotStarted)
{
    Add(WithCommand(Job("/status=404/gone#1#.jpg", "1", "2"), Echo("#FILE#"), "1"));
    Add(WithCommand(Job("/status=404/lost#1#.jpg", "1", "2"), Echo("#FILE#"), "0"));
    Add(WithCommand(Job("/size=10/one.jpg"), Echo("#FILENAME#")));
    Add(WithCommand(Job("/size=10/two.jpg"), "   "));

    ASSERT_TRUE(Run());

    const QString noFiles = "Unable to Execute Post Processing: Row=0. No files found!";
    EXPECT_EQ(Logged("Unable to Execute Post Processing: "),
              (QStringList{noFiles, "Unable to Execute Post Processing: #FILE# or #FILEPATH# missing from Post Process"}));
    EXPECT_EQ(LinesAfter(noFiles, 1), QStringList{"Post Process was aborted."});
    EXPECT_EQ(LogLines().count("Post Process was aborted."), 2);
    EXPECT_EQ(Logged("Execute Post Processing: "), QStringList{"Execute Post Processing: Row: 1"});
    EXPECT_TRUE(Logged("  Command").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Appended()));
    EXPECT_EQ(std::make_pair(view.BusyOn, view.BusyOff), std::make_pair(3, 3));
    ExpectSummary(2, 0);
}

// A row action post-processes whatever RunPP says: it rebuilds the job's
// queue (logging its URLs again) without downloading, and runs the command
// on the files an earlier run left.
TEST_F(PostProcessIntegration, ARowActionRunsTheCommandOnFilesAnEarlierRunLeft)
{
    Add(WithCommand(Job("/size=10/r#1#.jpg", "1", "2"), Echo("#FILE#"), "0", "0"));

    ASSERT_TRUE(Run());
    ASSERT_FALSE(QFileInfo::exists(Appended())) << "RunPP is not 1";
    EXPECT_TRUE(Logged("Execute Post Processing: ").isEmpty());
    const qsizetype requests = server.Requests().size(), urlLines = LogLines().filter(" > ").size();

    ASSERT_TRUE(app.Engine().PostProcessRow(0));

    EXPECT_EQ(FileBytes(Appended()), "r1.jpg\nr2.jpg\n");
    EXPECT_EQ(LogLines().filter(" > ").size(), 2 * urlLines);
    EXPECT_EQ(server.Requests().size(), requests) << "nothing is downloaded again";
    EXPECT_EQ(LinesAfter("Execute Post Processing: Row: 0", 2),
              (QStringList{"  Command (1): " + Echo("r1.jpg"), "  Command (2): " + Echo("r2.jpg")}));
}

TEST_F(PostProcessIntegration, ARowActionWithABoundOutOfRangeLogsTheFailure)
{
    JobRecord job = WithCommand(Job("/size=10/r#1#.jpg", "1", "2"), Echo("#FILE#"));
    job.L2 = "99999999999";
    Add(job);
    app.FillGrid();

    ASSERT_TRUE(app.Engine().PostProcessRow(0));

    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("Log file opened at ")) << "post-processing starts the log";
    EXPECT_TRUE(lines[1].startsWith("Post Process error: ") && lines[1].size() > 20) << "with the failure's description";
    EXPECT_EQ(view.BusyOn, view.BusyOff) << "the pointer is restored";
    EXPECT_FALSE(QFileInfo::exists(Appended()));
    EXPECT_TRUE(server.Requests().isEmpty());
}
