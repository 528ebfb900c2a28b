#include "app/JobListFile.h"
#include "app/AppSettings.h"
#include "app/JobTable.h"
#include "app/ModUnicodeFile.h"
#include "controls/grid/GridStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

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
        EXPECT_TRUE(WriteFile(PathOf(name), bytes));
        return PathOf(name);
    }

    QString Load(const QString &text, bool mark = true)
    {
        const QByteArray bytes = ModUnicodeFile::EncodeUtf16(text);
        return JobListFile::LoadJobList(WriteRaw(mark ? "\xFF\xFE" + bytes : bytes), settings, Jobs);
    }
};

// A job's sixteen fields joined by "|".
QString Fields(const JobRecord &job)
{
    QStringList fields;
    for (int f = 0; f < JobRecord::FieldCount; ++f)
        fields << job.Field(f);
    return fields.join('|');
}

// Every line the reader gives for the file at path.
QStringList ReadLines(const QString &path)
{
    ModUnicodeFile::LineReader reader;
    QString error;
    EXPECT_TRUE(reader.Open(path, &error));
    QStringList lines;
    for (QStringView line; reader.Next(line, &error);)
        lines << line.toString();
    EXPECT_EQ(error, "");
    return lines;
}

QStringList LoadedJobs(const JobTable &jobs)
{
    QStringList loaded;
    for (int32_t i = 1; i <= jobs.JobCount(); ++i)
        loaded << Fields(jobs.Record(i));
    return loaded;
}

} // namespace

// The Windows layout: FF FE, UTF-16LE, CR LF, five header lines, the comment
// block, every field followed by the separator; deleted jobs are left out.
TEST_F(JobListFileTest, SavedFileHasTheWindowsLayoutAndLoadsBack)
{
    settings.Separator.clear();
    settings.LogFile = "/var/log/tv.txt";
    settings.ResetLog = true;
    settings.NumDLs = 7;
    for (int n = 1; n <= 3; ++n) {
        JobRecord job;
        for (int f = 0; f < JobRecord::FieldCount; ++f)
            job.Field(f) = QStringLiteral("j%1f%2").arg(n).arg(f);
        job.Get = n % 2 ? "1" : "0";
        job.Output = QStringLiteral("%TEMP%\\out %1").arg(n);
        Jobs.AppendRecord(job);
    }
    Jobs.Record(2).Deleted = true;
    ASSERT_TRUE(JobListFile::SaveJobList(PathOf("saved.txt"), settings, Jobs));
    EXPECT_EQ(settings.Separator, "±") << "an empty separator becomes ± in memory too";

    const QByteArray bytes = FileBytes(PathOf("saved.txt"));
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    EXPECT_TRUE(bytes.contains(QByteArray("\xB1\x00", 2))) << "± is stored as B1 00";
    const QString text = ModUnicodeFile::DecodeUtf16(bytes.mid(2));
    EXPECT_FALSE(text.contains(QRegularExpression("[^\r]\n"))) << "no bare line feeds";
    const QStringList lines = text.split("\r\n");
    ASSERT_EQ(lines.size(), 20) << "5 header lines, 12 comment lines, 2 jobs, each ended by CR LF";
    EXPECT_EQ(
        lines.mid(0, 5), (QStringList{"2.1", "Separator=±", "LogFile=/var/log/tv.txt", "ResetLog=1", "NumDLs=7"}));
    EXPECT_EQ(lines[17], Fields(Jobs.Record(1)).replace('|', u'±') + u'±');

    AppSettings loaded;
    GridStore otherGrid;
    JobTable loadedJobs(otherGrid);
    EXPECT_EQ(JobListFile::LoadJobList(PathOf("saved.txt"), loaded, loadedJobs), "");
    EXPECT_EQ(loaded.Separator, "±");
    EXPECT_EQ(loaded.LogFile, "/var/log/tv.txt");
    EXPECT_TRUE(loaded.ResetLog);
    EXPECT_EQ(loaded.NumDLs, 7);
    EXPECT_EQ(LoadedJobs(loadedJobs), (QStringList{Fields(Jobs.Record(1)), Fields(Jobs.Record(3))}));
}

// A job line needs 11 pieces; tabs become blanks; comment and blank lines
// are skipped; pieces past the sixteenth are ignored.
TEST_F(JobListFileTest, JobLinesAreSplitByTheSeparator)
{
    const struct {
        QString text;
        bool mark;
        QString separator;
        QStringList jobs;
    } cases[] = {
        {Header + "1|c|u|1|2|00|1|1||p|o|d|1||,|cmd|\r\n", false, "|", {"1|c|u|1|2|00|1|1||p|o|d|1||,|cmd"}},
        {Header + "# a comment after the header\r\n" + "1|a|b|c|d|e|f|g|h|i\r\n" + "1|a|b|c|d|e|f|g|h|i|j\r\n" +
                "0|cat\twith tab|u|1|2|00|1|1||p|o|d|\r\n" + "   # indented comment|a|b|c|d|e|f|g|h|i|j|\r\n" +
                "#1|a|b|c|d|e|f|g|h|i|j|\r\n" + "1|c|u|1|2|00|1|1||p|o|d|1|1|+|cmd|extra|more|\r\n" + "\r\n   \r\n",
            true, "|",
            {"1|a|b|c|d|e|f|g|h|i|j|||||", "0|cat with tab|u|1|2|00|1|1||p|o|d||||",
                "1|c|u|1|2|00|1|1||p|o|d|1|1|+|cmd"}},
        {"2.1\r\nSeparator= ;; \r\nLogFile=\r\nResetLog=0\r\nNumDLs=3\r\n1;;a;b;;c;;d;;e;;f;;g;;h;;i;;j;;k;;\r\n", true,
            ";;", {"1|a;b|c|d|e|f|g|h|i|j|k|||||"}},
        {"2.1\r\nSeparator=   \r\nLogFile=\r\nResetLog=0\r\nNumDLs=3\r\n1|a|b|c|d|e|f|g|h|i|j|\r\n", true, "", {}},
        // Only CR LF ends a line: a lone CR or LF stays in its field.
        {Header + "1|a\rb|c\nd|1|2|00|1|1||p|o|d|\r\r\n\r1|a|b|c|d|e|f|g|h|i|j", true, "|",
            {"1|a\rb|c\nd|1|2|00|1|1||p|o|d|\r|||", "\r1|a|b|c|d|e|f|g|h|i|j|||||"}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Load(c.text, c.mark), "");
        EXPECT_EQ(settings.Separator, c.separator);
        EXPECT_EQ(LoadedJobs(Jobs), c.jobs) << c.text.toStdString();
    }
}

TEST_F(JobListFileTest, HeaderValues)
{
    struct Case {
        const char *numDLs;
        int expected;
    } cases[] = {{"2.5", 2}, {"3.5", 4}, {" 7 ", 7}, {"12", 3}, {"text", 3}, {"0", 3}, {"9", 9}, {"1e1", 3}, {"", 3},
        {"-2", 3}, {"99999999999", 3}};
    for (const Case &c : cases) {
        const QString text =
            QStringLiteral("2.1\r\nSeparator=|\r\nLogFile=\r\nResetLog=1\r\nNumDLs=%1\r\n").arg(c.numDLs);
        EXPECT_EQ(Load(text), "");
        EXPECT_EQ(settings.NumDLs, c.expected) << c.numDLs;
    }
    EXPECT_EQ(Load("2.1\r\nSeparator=|\r\nLogFile=C:\\a=b\\log.txt\r\nResetLog=yes\r\nNumDLs\r\n"), "");
    EXPECT_EQ(settings.LogFile, "C:\\a") << "a path holding = keeps only what comes before it";
    EXPECT_FALSE(settings.ResetLog);
    EXPECT_EQ(settings.NumDLs, 3);
}

// Not a job list: nothing changes. A list cut short in its header keeps what
// was read before the cut, and the jobs are not reached.
TEST_F(JobListFileTest, FilesThatAreNotJobListsChangeNothing)
{
    Jobs.AppendRecord(JobRecord{"1", "kept"});
    settings.NumDLs = 4;
    const QString eightBit = WriteRaw("2.1\r\nSeparator=|\r\nLogFile=\r\nResetLog=0\r\nNumDLs=5\r\n", "eight-bit.txt");
    EXPECT_EQ(JobListFile::LoadJobList(eightBit, settings, Jobs), "File is not valid for Tavrin™");
    EXPECT_EQ(Load("2.0\r\nSeparator=|\r\n"), "File is not valid for Tavrin™");
    const QString missing = JobListFile::LoadJobList(PathOf("missing.txt"), settings, Jobs);
    EXPECT_TRUE(missing.startsWith("Unable to load: ") && missing.contains("missing.txt")) << missing.toStdString();
    EXPECT_EQ(JobListFile::LoadJobList(WriteRaw(""), settings, Jobs).left(16), "Unable to load: ");
    EXPECT_EQ(settings.NumDLs, 4);

    EXPECT_TRUE(Load("2.1\r\nSeparator=#\r\nLogFile=/x").startsWith("Unable to load: "));
    EXPECT_EQ(settings.Separator, "#");
    EXPECT_EQ(settings.LogFile, "/x");
    EXPECT_EQ(LoadedJobs(Jobs), QStringList{"1|kept" + QString(14, '|')});
    EXPECT_FALSE(JobListFile::SaveJobList(PathOf("no/such/folder/list.txt"), settings, Jobs));
}

namespace {

// A limit on the size of the files this process writes, with the signal
// that would end it at the limit ignored: a write past it fails, as on a
// full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &before);
        handler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = before;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &before);
        ::signal(SIGXFSZ, handler);
    }

private:
    rlimit before{};
    void (*handler)(int) = nullptr;
};

QString Reason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

} // namespace

// A save that cannot be completed leaves the old list byte for byte, its
// mode too, and gives the message naming the file and the system's reason:
// a file-size limit stops the new list mid-way, a read-only list is not
// replaced (not even by root), a missing folder takes nothing. Nothing of
// the new list is left behind. A save that succeeds keeps the old file's
// mode.
TEST_F(JobListFileTest, AFailedSaveKeepsTheOldListAndNamesTheFileAndTheReason)
{
    for (int n = 1; n <= 6; ++n)
        Jobs.AppendRecord(JobRecord{"1", QStringLiteral("old %1").arg(n), "http://x/#1#.jpg", "1", "9"});
    for (const char *name : {"limited.txt", "readonly.txt", "private.txt"})
        ASSERT_TRUE(JobListFile::SaveJobList(PathOf(name), settings, Jobs));
    using P = QFileDevice;
    const auto readOnly = P::ReadOwner | P::ReadUser | P::ReadGroup | P::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(PathOf("readonly.txt"), readOnly));
    const auto ownerOnly = P::ReadOwner | P::ReadUser | P::WriteOwner | P::WriteUser;
    ASSERT_TRUE(QFile::setPermissions(PathOf("private.txt"), ownerOnly));
    const QString longPath(100, u'p');
    for (int n = 1; n <= 400; ++n) {
        const QString url = QStringLiteral("http://x/%1/%2#1#.jpg").arg(n).arg(longPath);
        Jobs.AppendRecord(JobRecord{"1", QStringLiteral("new %1").arg(n), url, "1", "9"});
    }

    const struct {
        const char *name;
        int error;
        rlim_t limit;
    } cases[] = {
        {"limited.txt", EFBIG, 64 * 1024},
        {"readonly.txt", EACCES, RLIM_INFINITY},
        {"missing/list.txt", ENOENT, RLIM_INFINITY},
    };
    for (const auto &c : cases) {
        const QString path = PathOf(c.name);
        const QByteArray before = ModUnicodeFile::ReadWholeFile(path, false);
        const QFileDevice::Permissions mode = QFile::permissions(path);
        QString message;
        bool saved = true;
        {
            const FileSizeLimit limit(c.limit);
            saved = JobListFile::SaveJobList(path, settings, Jobs, &message);
        }
        EXPECT_FALSE(saved) << c.name;
        EXPECT_EQ(message, "Unable to save: " + path + ": " + Reason(c.error));
        EXPECT_EQ(ModUnicodeFile::ReadWholeFile(path, false), before) << c.name;
        EXPECT_EQ(QFile::permissions(path), mode) << c.name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{"limited.txt", "private.txt", "readonly.txt"}));

    ASSERT_TRUE(JobListFile::SaveJobList(PathOf("private.txt"), settings, Jobs));
    EXPECT_EQ(QFile::permissions(PathOf("private.txt")), ownerOnly);
    EXPECT_TRUE(ModUnicodeFile::ReadWholeFile(PathOf("private.txt"), false).size() > 64 * 1024);
}

// The lines read block by block are the decoded bytes split at CR LF, with
// or without the mark, a trailing odd byte dropped; the long case puts a
// CR LF across the first block's end.
TEST_F(JobListFileTest, LinesReadInBlocksAreTheDecodedTextSplitAtCrLf)
{
    const QByteArray acrossBlocks =
        ModUnicodeFile::EncodeUtf16(QString(524286, u'x') + "\r\n" + QString(70000, u'y') + "\rz\r\n");
    const QByteArray cases[] = {QByteArrayLiteral(""), QByteArrayLiteral("\xFF"), QByteArrayLiteral("\xFF\xFE"),
        QByteArrayLiteral("\xFF\xFE"
                          "a"),
        QByteArrayLiteral("a\0b\0"),
        QByteArrayLiteral("\xFF\xFE"
                          "a\0\x3D\xD8\x00\xDE"),
        QByteArrayLiteral("\xFE\xFF"
                          "a\0"),
        QByteArrayLiteral("a\0b"),
        QByteArrayLiteral("\xFF\xFE"
                          "a\0\r\0\n\0\r\0\r\0\n\0"),
        "\xFF\xFE" + acrossBlocks};
    for (const QByteArray &bytes : cases) {
        const QString path = WriteRaw(bytes);
        const QString text = ModUnicodeFile::DecodeUtf16(ModUnicodeFile::ReadWholeFile(path, true));
        const QStringList expected = text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
        EXPECT_EQ(ReadLines(path), expected) << bytes.left(16).toHex().toStdString();
    }
    QString error;
    EXPECT_FALSE(ModUnicodeFile::LineReader().Open(PathOf("missing.txt"), &error));
    EXPECT_TRUE(error.contains("missing.txt")) << error.toStdString();
}
