#include "app/AppSettings.h"
#include "app/JobListFile.h"
#include "app/JobTable.h"
#include "app/ModUnicodeFile.h"
#include "controls/grid/GridStore.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Header = QStringLiteral("2.1\r\nSeparator=|\r\nLogFile=/tmp/x.log\r\nResetLog=1\r\nNumDLs=5\r\n");

class JobListFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    AppSettings settings;
    GridStore LG;
    JobTable Jobs{LG};

    QString PathOf(const QString &name) const { return dir.filePath(name); }

    QString WriteRaw(const QByteArray &bytes, const QString &name = QStringLiteral("list.txt"))
    {
        QFile file(PathOf(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QString WriteUtf16(const QString &text, bool mark = true)
    {
        return WriteRaw((mark ? QByteArray("\xFF\xFE", 2) : QByteArray()) + ModUnicodeFile::EncodeUtf16(text));
    }

    QString Load(const QString &text, bool mark = true)
    {
        return JobListFile::LoadJobList(WriteUtf16(text, mark), settings, Jobs);
    }
};

JobRecord NumberedJob(int n)
{
    JobRecord job;
    for (int f = 0; f < JobRecord::FieldCount; ++f)
        job.Field(f) = QStringLiteral("j%1f%2").arg(n).arg(f);
    job.Get = n % 2 ? "1" : "0";
    job.Output = QStringLiteral("%TEMP%\\out %1").arg(n);
    return job;
}

} // namespace

TEST_F(JobListFileTest, SavedListLoadsBackTheSameSettingsAndJobs)
{
    settings.Separator = "<>";
    settings.LogFile = "/var/log/tv.txt";
    settings.ResetLog = true;
    settings.NumDLs = 7;
    for (int n = 1; n <= 4; ++n)
        Jobs.AppendRecord(NumberedJob(n));
    Jobs.Record(2).Deleted = true;
    ASSERT_TRUE(JobListFile::SaveJobList(PathOf("saved.txt"), settings, Jobs));

    AppSettings loaded;
    GridStore otherGrid;
    JobTable loadedJobs(otherGrid);
    EXPECT_EQ(JobListFile::LoadJobList(PathOf("saved.txt"), loaded, loadedJobs), "");
    EXPECT_EQ(loaded.Separator, "<>");
    EXPECT_EQ(loaded.LogFile, "/var/log/tv.txt");
    EXPECT_TRUE(loaded.ResetLog);
    EXPECT_EQ(loaded.NumDLs, 7);
    ASSERT_EQ(loadedJobs.JobCount(), 3);
    const int kept[] = {1, 3, 4};
    for (int k = 0; k < 3; ++k) {
        for (int f = 0; f < JobRecord::FieldCount; ++f)
            EXPECT_EQ(loadedJobs.Record(k + 1).Field(f), Jobs.Record(kept[k]).Field(f)) << k << ":" << f;
    }
}

TEST_F(JobListFileTest, SavedFileHasTheWindowsLayoutByteForByte)
{
    settings.Separator.clear();
    settings.NumDLs = 3;
    JobRecord job;
    job.Get = "1";
    job.Url = "http://h/a#1#.jpg";
    Jobs.AppendRecord(job);
    ASSERT_TRUE(JobListFile::SaveJobList(PathOf("saved.txt"), settings, Jobs));
    EXPECT_EQ(settings.Separator, "±") << "an empty separator becomes ± in memory too";

    QFile file(PathOf("saved.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith(QByteArray("\xFF\xFE", 2)));
    EXPECT_TRUE(bytes.contains(QByteArray("\xB1\x00", 2))) << "± is stored as B1 00";
    const QString text = ModUnicodeFile::DecodeUtf16(bytes.mid(2));
    const QStringList lines = text.split("\r\n");
    ASSERT_EQ(lines.size(), 19) << "18 lines, each ended by CR LF";
    EXPECT_EQ(lines.last(), "");
    EXPECT_EQ(lines[0], "2.1");
    EXPECT_EQ(lines[1], "Separator=±");
    EXPECT_EQ(lines[2], "LogFile=");
    EXPECT_EQ(lines[3], "ResetLog=0");
    EXPECT_EQ(lines[4], "NumDLs=3");
    EXPECT_EQ(lines[5], "#" + QString(83, '-'));
    EXPECT_EQ(lines[14], "#   Get Category URL L1 U1 Format1 L1 U1 Format1 Prefix Output LastDate RunPP AllPP SepPP CmdPP");
    EXPECT_EQ(lines[16], "#" + QString(84, '-'));
    EXPECT_EQ(lines[17], "1±±http://h/a#1#.jpg" + QString(14, u'±'));
    EXPECT_FALSE(text.contains(QRegularExpression("[^\r]\n"))) << "no bare line feeds";
}

TEST_F(JobListFileTest, AListWithoutTheMarkLoadsLikeOneWithIt)
{
    const QString text = Header + "1|c|u|1|2|00|1|1||p|o|d|1||,|cmd|\r\n";
    EXPECT_EQ(Load(text, false), "");
    ASSERT_EQ(Jobs.JobCount(), 1);
    EXPECT_EQ(Jobs.Record(1).CmdPP, "cmd");
    EXPECT_EQ(settings.NumDLs, 5);
}

TEST_F(JobListFileTest, JobLinesByPieceCountTabsAndComments)
{
    const QString text = Header
        + "# a comment after the header\r\n"
        + "1|a|b|c|d|e|f|g|h|i\r\n"                        // 10 pieces: skipped
        + "1|a|b|c|d|e|f|g|h|i|j\r\n"                      // 11 pieces
        + "0|cat\twith tab|u|1|2|00|1|1||p|o|d|\r\n"       // 13 pieces: no post-processing fields
        + "   # indented comment|a|b|c|d|e|f|g|h|i|j|\r\n"
        + "#1|a|b|c|d|e|f|g|h|i|j|\r\n"                    // a job whose Get begins with # is lost
        + "1|c|u|1|2|00|1|1||p|o|d|1|1|+|cmd|extra|more|\r\n" // 19 pieces: extras ignored
        + "\r\n"
        + "   \r\n";
    EXPECT_EQ(Load(text), "");
    ASSERT_EQ(Jobs.JobCount(), 3);
    EXPECT_EQ(Jobs.Record(1).Output, "j");
    EXPECT_EQ(Jobs.Record(1).LastDate, "");
    EXPECT_EQ(Jobs.Record(2).Category, "cat with tab");
    EXPECT_EQ(Jobs.Record(2).LastDate, "d");
    EXPECT_EQ(Jobs.Record(2).RunPP, "");
    EXPECT_EQ(Jobs.Record(2).CmdPP, "");
    EXPECT_EQ(Jobs.Record(3).SepPP, "+");
    EXPECT_EQ(Jobs.Record(3).CmdPP, "cmd");
    EXPECT_FALSE(Jobs.Record(3).Deleted);
}

TEST_F(JobListFileTest, AMultiCharacterSeparatorIsSplitAsAWhole)
{
    const QString text = "2.1\r\nSeparator= ;; \r\nLogFile=\r\nResetLog=0\r\nNumDLs=3\r\n"
                         "1;;a;b;;c;;d;;e;;f;;g;;h;;i;;j;;k;;\r\n";
    EXPECT_EQ(Load(text), "");
    EXPECT_EQ(settings.Separator, ";;");
    ASSERT_EQ(Jobs.JobCount(), 1);
    EXPECT_EQ(Jobs.Record(1).Category, "a;b");
    EXPECT_EQ(Jobs.Record(1).Output, "k");
}

TEST_F(JobListFileTest, HeaderValues)
{
    struct Case {
        const char *numDLs;
        int expected;
    } cases[] = {{"2.5", 2}, {"3.5", 4}, {" 7 ", 7}, {"12", 3}, {"text", 3}, {"0", 3}, {"9", 9}, {"1e1", 3},
                 {"", 3}, {"-2", 3}, {"99999999999", 3}};
    for (const Case &c : cases) {
        const QString text = QStringLiteral("2.1\r\nSeparator=|\r\nLogFile=\r\nResetLog=1\r\nNumDLs=%1\r\n").arg(c.numDLs);
        EXPECT_EQ(Load(text), "");
        EXPECT_EQ(settings.NumDLs, c.expected) << c.numDLs;
    }
    EXPECT_EQ(Load("2.1\r\nSeparator=|\r\nLogFile=C:\\a=b\\log.txt\r\nResetLog=yes\r\nNumDLs\r\n"), "");
    EXPECT_EQ(settings.LogFile, "C:\\a") << "a path holding = keeps only what comes before it";
    EXPECT_FALSE(settings.ResetLog);
    EXPECT_EQ(settings.NumDLs, 3);
    EXPECT_EQ(JobListFile::HeaderValue("Key =  v  "), "v");
    EXPECT_EQ(JobListFile::HeaderValue("NoEquals"), "");
}

TEST_F(JobListFileTest, AnEmptySeparatorReadsNoJobs)
{
    EXPECT_EQ(Load("2.1\r\nSeparator=   \r\nLogFile=\r\nResetLog=0\r\nNumDLs=3\r\n1|a|b|c|d|e|f|g|h|i|j|\r\n"), "");
    EXPECT_EQ(settings.Separator, "");
    EXPECT_EQ(Jobs.JobCount(), 0);
}

TEST_F(JobListFileTest, FilesThatAreNotJobListsChangeNothing)
{
    Jobs.AppendRecord(NumberedJob(1));
    settings.NumDLs = 4;
    const QString wrongFile = WriteRaw("2.1\r\nSeparator=|\r\nLogFile=\r\nResetLog=0\r\nNumDLs=5\r\n", "eight-bit.txt");
    EXPECT_EQ(JobListFile::LoadJobList(wrongFile, settings, Jobs), "File is not valid for Tavrin™");
    EXPECT_EQ(Load("2.0\r\nSeparator=|\r\n"), "File is not valid for Tavrin™");
    const QString missing = JobListFile::LoadJobList(PathOf("missing.txt"), settings, Jobs);
    EXPECT_TRUE(missing.startsWith("Unable to load: ")) << missing.toStdString();
    EXPECT_TRUE(missing.contains("missing.txt"));
    EXPECT_EQ(JobListFile::LoadJobList(WriteRaw(""), settings, Jobs).left(16), "Unable to load: ");
    EXPECT_EQ(Jobs.JobCount(), 1);
    EXPECT_EQ(settings.NumDLs, 4);
}

TEST_F(JobListFileTest, ATruncatedHeaderKeepsWhatWasReadBeforeIt)
{
    Jobs.AppendRecord(NumberedJob(1));
    const QString message = Load("2.1\r\nSeparator=#\r\nLogFile=/x");
    EXPECT_TRUE(message.startsWith("Unable to load: "));
    EXPECT_EQ(settings.Separator, "#");
    EXPECT_EQ(settings.LogFile, "/x");
    EXPECT_EQ(Jobs.JobCount(), 1) << "the jobs were not reached";
}

TEST_F(JobListFileTest, AnUnwritableTargetFailsQuietly)
{
    EXPECT_FALSE(JobListFile::SaveJobList(PathOf("no/such/folder/list.txt"), settings, Jobs));
}
