#include "RunIntegrationFixture.h"

#include <QFileInfo>

#include <fcntl.h>
#include <set>

namespace {

class PostProcessIntegration : public RunIntegrationFixture {
protected:
    // The lines that follow the first one equal to first.
    QStringList LinesAfter(const QString &first, int count) const
    {
        const QStringList lines = LogLines();
        const qsizetype at = lines.indexOf(first);
        return at < 0 ? QStringList{"<no " + first + ">"} : lines.mid(at + 1, count);
    }
};

// The descriptors this process was given without close-on-exec when it
// started (by the shell or the test runner): any child inherits those.
std::set<int> InheritedAtStart()
{
    std::set<int> descriptors{0, 1, 2};
    for (const QString &name :
        QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
        if (::fcntl(name.toInt(), F_GETFD) == 0)
            descriptors.insert(name.toInt());
    return descriptors;
}
const std::set<int> inheritedAtStart = InheritedAtStart();

// The descriptors of an "ls -l /proc/PID/fd" listing that the child got
// from the run, with what they point to. The launcher's own stray
// /dev/null is harmless and not counted.
QStringList Leaked(const QByteArray &listing)
{
    static const QRegularExpression entry(R"( (\d+) -> (.+)$)", QRegularExpression::MultilineOption);
    QStringList leaked;
    for (const QRegularExpressionMatch &match : entry.globalMatch(QString::fromLocal8Bit(listing)))
        if (match.captured(2) != "/dev/null" && !inheritedAtStart.count(match.captured(1).toInt()))
            leaked << match.captured(0);
    return leaked;
}

} // namespace

// Row 0's item 1 breaks off mid-body, so only items 2 and 3 have files; each
// runs its own command, in queue order, after the job's downloads. Folders
// and names with blanks, quotes, ";" and "$(...)": every path reaches the
// program as one argument and nothing else runs. With one call and a blank
// separator a placeholder standing alone gives one argument per file;
// inside a longer argument, or with another separator, the joined list
// stays one argument. The command reads an empty input, writes nowhere, and
// inherits no other descriptor (its own process group is checked by the
// command-line and window tests). Each wait ends with its command;
// a program that cannot start holds up nothing.
TEST_F(PostProcessIntegration, EveryPathReachesTheCommandAsOneArgumentAfterTheJobsDownloads)
{
    const QString folder = dir.filePath("out dir/it's \"here\""),
                  prefix = "a b;'c' \"d\" $(touch pwned) `touch pwned2`;";
    const auto hostile = [&](const QString &path, const QString &u1) {
        JobRecord job = Job(path, "1", u1, "", prefix);
        job.Output = folder;
        return job;
    };
    const auto at = [&](const QString &name) { return folder + "/" + prefix + name; };
    // A script that appends each of its arguments as one line to args.txt.
    const QString script = dir.filePath("args.sh");
    ASSERT_TRUE(WriteFile(script,
        ("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" + dir.filePath("args.txt") + "'\n")
            .toLocal8Bit()));
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    const QString probe = "/bin/sh -c \"ls -l /proc/$$/fd | cat > %1\" #FILE#";
    Add(WithCommand(
        hostile("/size=1500/drop=#1#000/f#1#.jpg", "3"), script + " #FILEPATH# #FILE# #FILENAME# #FILEEXT#"));
    Add(WithCommand(hostile("/size=10/g#1#.jpg", "2"), script + " #FILEPATH# x#FILEPATH#", "1", " "));
    Add(WithCommand(hostile("/size=10/h#1#.jpg", "2"), script + " #FILE#", "1", ";"));
    Add(WithCommand(Job("/size=10/n.jpg"), "tavrin-no-such-program #FILE#"));
    Add(WithCommand(Job("/size=10/p.jpg"), probe.arg(dir.filePath("fds"))));

    ASSERT_TRUE(Run());

    EXPECT_LT(runMs, 4000) << "no wait lasts a whole step after its command";
    const QString f2 = at("f2.jpg") + "\n" + prefix + "f2.jpg\n" + prefix + "f2\njpg";
    const QString f3 = at("f3.jpg") + "\n" + prefix + "f3.jpg\n" + prefix + "f3\njpg";
    EXPECT_EQ(QString::fromLocal8Bit(FileBytes(dir.filePath("args.txt"))).split('\n', Qt::SkipEmptyParts),
        ((f2 + "\n" + f3).split('\n') +
            QStringList{at("g1.jpg"), at("g2.jpg"), "x" + at("g1.jpg") + " " + at("g2.jpg"),
                prefix + "h1.jpg;" + prefix + "h2.jpg"}));
    EXPECT_EQ(LinesAfter("Execute Post Processing: Row: 0", 2),
        (QStringList{"  Command (2): " + script + " " + QString(f2).replace('\n', ' '),
            "  Command (3): " + script + " " + QString(f3).replace('\n', ' ')}));
    EXPECT_EQ(Logged("Execute Post Processing: ").size(), 5);
    const QStringList lines = LogLines();
    EXPECT_LT(lines.lastIndexOf(QRegularExpression("^File Saved: .*f\\d\\.jpg ")),
        lines.indexOf("Execute Post Processing: Row: 0"))
        << "the job's downloads end before its post-processing";
    for (const QString &where : {dir.path(), QDir::currentPath(), folder})
        EXPECT_TRUE(QDir(where).entryList({"pwned*"}).isEmpty()) << where.toStdString();
    const QByteArray listing = FileBytes(dir.filePath("fds"));
    for (const char *standard : {" 0 -> /dev/null\n", " 1 -> /dev/null\n", " 2 -> /dev/null\n"})
        EXPECT_TRUE(listing.contains(standard)) << listing.toStdString();
    EXPECT_EQ(Leaked(listing), QStringList()) << listing.toStdString();
    ExpectSummary(8, 2);
}

// The items of each one-call job end in the reverse of queue order (item 1
// sends six slow parts, item 3 two), but the one command gets the files in
// queue order. Placeholders in any letter case; "#FILEPATH#" stays as written
// when "#FILE#" is used. "#OUT#" and "#OUTPUT#" are the output folder as the
// job names it, its variables expanded and its separators this system's,
// with nothing appended: "#OUT#/all.txt" names a file in it, and a separator
// the user wrote at the end stays.
TEST_F(PostProcessIntegration, OneCallJoinsTheFilesInQueueOrderAndOutputIsTheFolderAsWritten)
{
    const QString out = OutFolder() + "/", paths = out + "g1.bin;" + out + "g2.bin;" + out + "g3.bin";
    const struct {
        QString name, cmd, sepPP, command, echoed;
    } forms[] = {
        {"f", "/bin/sh -c \"echo #file# '#FILEPATH#' >> #out#/../pp.txt\"", " ",
            "/bin/sh -c \"echo f1.bin f2.bin f3.bin '#FILEPATH#' >> " + out + "../pp.txt\"",
            "f1.bin f2.bin f3.bin #FILEPATH#"},
        {"g", Echo("'#FilePath#'"), ";", Echo("'" + paths + "'"), paths},
    };
    for (const auto &form : forms)
        Add(WithCommand(Job("/size=6000/chunk=#1#000/chunkdelay=100/" + form.name + "#1#.bin", "1", "3"), form.cmd, "1",
            form.sepPP));
    QDir().mkpath(dir.filePath("temp"));
    env.Set("TEMP", dir.filePath("temp").toLocal8Bit());
    const struct {
        QString output, folder;
    } folders[] = {
        {"%TEMP%\\Tavrin\\.1", dir.filePath("temp/Tavrin/.1")},
        {OutFolder() + "\\", OutFolder() + "/"},
    };
    for (const auto &folder : folders) {
        JobRecord record = WithCommand(Job("/size=10/o.jpg"), "/bin/sh -c \"echo #OUTPUT# >> #OUT#/all.txt\" #FILE#");
        record.Output = folder.output;
        Add(record);
    }

    ASSERT_TRUE(Run());

    ASSERT_EQ(completions.size(), 8u);
    ASSERT_EQ(std::make_pair(completions[0].item, completions[3].item), std::make_pair(3, 3))
        << "precondition: the downloads end out of queue order";
    EXPECT_EQ(FileBytes(Appended()), (forms[0].echoed + "\n" + forms[1].echoed + "\n").toLocal8Bit());
    EXPECT_EQ(LinesAfter("Execute Post Processing: Row: 0", 1), QStringList{"  Command: " + forms[0].command});
    EXPECT_EQ(LinesAfter("Execute Post Processing: Row: 1", 1), QStringList{"  Command: " + forms[1].command});
    QStringList commands;
    for (const auto &folder : folders) {
        EXPECT_EQ(FileBytes(folder.folder + "/all.txt"), (folder.folder + "\n").toLocal8Bit());
        commands << "  Command (1): /bin/sh -c \"echo " + folder.folder + " >> " + folder.folder + "/all.txt\" o.jpg";
    }
    EXPECT_EQ(Logged("  Command (1): "), commands);
    ExpectSummary(8, 36);
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

    const QString unable = "Unable to Execute Post Processing: ", aborted = "Post Process was aborted.";
    EXPECT_EQ(LogLines().filter(QRegularExpression("^(Unable to|Post Process was)")),
        (QStringList{unable + "Row=0. No files found!", aborted,
            unable + "#FILE# or #FILEPATH# missing from Post Process", aborted}));
    EXPECT_EQ(Logged("Execute Post Processing: "), QStringList{"Execute Post Processing: Row: 1"});
    EXPECT_TRUE(Logged("  Command").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Appended()));
    EXPECT_EQ(std::make_pair(view.BusyOn, view.BusyOff), std::make_pair(3, 3));
    ExpectSummary(2, 0);
}

// A row action post-processes whatever RunPP says. Before any run, a bound
// out of range logs the failure (the action starts the log). After a run, it
// rebuilds the job's queue (logging its URLs again) without downloading, and
// runs the command on the files the run left.
TEST_F(PostProcessIntegration, ARowActionRunsTheCommandOnFilesAnEarlierRunLeft)
{
    const int32_t record = Add(WithCommand(Job("/size=10/r#1#.jpg", "1", "2"), Echo("#FILE#"), "0", " ", "0"));
    app.Jobs().Record(record).L2 = "99999999999";
    app.FillGrid();
    ASSERT_TRUE(app.Engine().PostProcessRow(0));
    const QStringList failed = LogLines();
    ASSERT_EQ(failed.size(), 2) << failed.join('\n').toStdString();
    EXPECT_TRUE(failed[0].startsWith("Log file opened at "));
    EXPECT_TRUE(failed[1].startsWith("Post Process error: ") && failed[1].size() > 20) << "with a description";
    EXPECT_EQ(view.BusyOn, view.BusyOff) << "the pointer is restored";
    app.Jobs().Record(record).L2 = "1";

    ASSERT_TRUE(Run());
    ASSERT_FALSE(QFileInfo::exists(Appended())) << "neither the failed action nor the run, as RunPP is not 1";
    const qsizetype requests = server.Requests().size(), urlLines = LogLines().filter(" > ").size();

    ASSERT_TRUE(app.Engine().PostProcessRow(0));

    EXPECT_EQ(FileBytes(Appended()), "r1.jpg\nr2.jpg\n");
    EXPECT_EQ(LogLines().filter(" > ").size(), 2 * urlLines);
    EXPECT_EQ(server.Requests().size(), requests) << "nothing is downloaded again";
    EXPECT_EQ(LinesAfter("Execute Post Processing: Row: 0", 2),
        (QStringList{"  Command (1): " + Echo("r1.jpg"), "  Command (2): " + Echo("r2.jpg")}));
}
