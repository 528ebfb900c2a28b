#include "app/JobFromUrl.h"
#include "app/ModUnicodeFile.h"
#include "engine/RunIntegrationFixture.h"

using AddCommandCli = RunIntegrationFixture;

namespace {

const QString Guessed = "http://www.x.com/pics/img0042.jpg";
// The guessed job as --list prints it, as record 3 of the list.
const QString GuessedLine = "3\t1\tx.com\thttp://www.x.com/pics/img#1#.jpg\t1\t42\t0000\t\t\t\t\t%MYDOC%/Tavrin/x.com" +
    QString(5, '\t') + "\n";

} // namespace

// The new job is printed as --list prints a job, and the list is saved
// exactly as the program saves the old jobs with the new one after them.
TEST_F(AddCommandCli, AppendsTheGuessedJobSavesTheListAndPrintsTheJob)
{
    const QString list = SaveList({Job("/a#1#.jpg", "1", "5"), WithCommand(Job("/b.jpg"), "echo #FILE#")});

    const CliResult added = RunTavrin({"--add", Guessed, list});
    EXPECT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_EQ(added.err, "");
    EXPECT_EQ(added.out, GuessedLine);

    app.Jobs().AppendRecord(*JobFromUrl(Guessed));
    const QString expected = dir.filePath("expected.txt");
    ASSERT_TRUE(JobListFile::SaveJobList(expected, app.Settings(), app.Jobs()));
    EXPECT_EQ(ModUnicodeFile::ReadWholeFile(list, false), ModUnicodeFile::ReadWholeFile(expected, false));
}

// Nothing is written when the text is not a URL, when the list named does
// not exist or cannot be loaded, or when it cannot be saved (a read-only
// list keeps its bytes); each exits with 2 and says why.
TEST_F(AddCommandCli, ARefusedAddLeavesTheListAsItWas)
{
    const QString list = SaveList({Job("/a#1#.jpg", "1", "5")});
    const QString readOnly = dir.filePath("readonly.txt");
    ASSERT_TRUE(QFile::copy(list, readOnly));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const QString notAList = dir.filePath("notalist.txt");
    ASSERT_TRUE(WriteFile(notAList, "plain text\r\n"));
    const QByteArray listBefore = ModUnicodeFile::ReadWholeFile(list, false);

    const struct {
        QStringList arguments;
        QString errStart;
    } cases[] = {
        {{"--add", "notes about img12.jpg", list}, "Not an http, https or ftp URL: notes about img12.jpg\n"},
        {{"--add", "http://x.com/99999999999.jpg", list}, "The number 99999999999 in this URL"},
        {{"--add", Guessed, dir.filePath("missing.txt")}, "No job list file " + dir.filePath("missing.txt")},
        {{"--add", Guessed, notAList}, "File is not valid for Tavrin"},
        {{"--add", Guessed, readOnly}, "Unable to save: " + readOnly + ": "},
        {{"--add", Guessed, "--list", list}, "tavrin: "},
        {{"--add"}, "tavrin: "},
    };
    for (const auto &c : cases) {
        const QByteArray readOnlyBefore = ModUnicodeFile::ReadWholeFile(readOnly, false);
        const CliResult result = RunTavrin(c.arguments);
        EXPECT_EQ(result.exitCode, 2) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.err.startsWith(c.errStart)) << result.err.toStdString();
        EXPECT_EQ(ModUnicodeFile::ReadWholeFile(list, false), listBefore);
        EXPECT_EQ(ModUnicodeFile::ReadWholeFile(readOnly, false), readOnlyBefore);
    }
    EXPECT_EQ(QDir(dir.path()).entryList({"*.txt"}, QDir::Files | QDir::Hidden),
        (QStringList{"jobs.txt", "notalist.txt", "readonly.txt"}));
    EXPECT_TRUE(server.Requests().isEmpty());
}
