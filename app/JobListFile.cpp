#include "app/JobListFile.h"

#include "app/AppSettings.h"
#include "app/JobTable.h"
#include "app/ModUnicodeFile.h"
#include "platform/Allocator.h"
#include "util/Errors.h"
#include "util/Numbers.h"
#include "util/Text.h"

#include <QHash>
#include <QStringList>
#include <QStringTokenizer>

#include <array>
#include <unordered_map>

namespace {

const QString FormatVersion = QStringLiteral("2.1");
const QString DefaultSeparator = QStringLiteral("±");
constexpr int MinimumJobPieces = 11;

QStringList CommentBlock()
{
    return {
        u'#' + QString(83, u'-'),
        QStringLiteral("# first 5 lines :"),
        QStringLiteral("# version,"),
        QStringLiteral("# Separator,"),
        QStringLiteral("# LogFile can be empty or a full path to a logfile"),
        QStringLiteral("# ResetLog 0 or 1 (default is 0, if 1 the log will be reset with each run )"),
        QStringLiteral("# NumDLs  1-9 (default 3) number of concurrent downloads"),
        QStringLiteral("#"),
        QStringLiteral("# Rest of file is the Grid list entries with format"),
        QStringLiteral(
            "#   Get Category URL L1 U1 Format1 L1 U1 Format1 Prefix Output LastDate RunPP AllPP SepPP CmdPP"),
        QStringLiteral("#"),
        u'#' + QString(84, u'-'),
    };
}

int32_t SlotCountSetting(const QString &value)
{
    const double count = RoundHalfEven(LeadingNumber(value));
    if (count < 1 || count > 9)
        return 3;
    return static_cast<int32_t>(count);
}

// Blank (after tabs became blanks) or a comment.
bool IsSkippedLine(QStringView line)
{
    for (const QChar c : line) {
        if (c != u' ')
            return c == u'#';
    }
    return true;
}

// The texts of each field read so far: a text that comes again anywhere down
// a long list (a category, a bound, a picture, a date, a flag, a command) is
// held once, and the same field of the job before is tried first, as it is
// the most likely match. Only the first few hundred different texts of a
// field are remembered, and a field whose texts have stopped coming again
// (URLs, folders) is no longer looked up, so those cost little here.
class FieldTexts {
public:
    CompactText Text(int field, QStringView piece, const CompactText *before)
    {
        if (before && *before == piece)
            return *before;
        if (piece.isEmpty())
            return CompactText();
        Field &known = fields[static_cast<size_t>(field)];
        if (known.missesInARow >= GiveUpAfter)
            return CompactText(piece);
        const size_t hash = qHash(piece);
        const auto found = known.texts.find(hash);
        if (found != known.texts.end() && found->second == piece) {
            known.missesInARow = 0;
            return found->second;
        }
        CompactText text(piece);
        if (found == known.texts.end() && known.texts.size() < KeptPerField)
            known.texts.emplace(hash, text);
        else
            ++known.missesInARow;
        return text;
    }

private:
    static constexpr size_t KeptPerField = 512;
    static constexpr int GiveUpAfter = 4096;
    struct Field {
        std::unordered_map<size_t, CompactText> texts;
        int missesInARow = 0; // once the texts are full
    };
    std::array<Field, JobRecord::FieldCount> fields;
};

using Pieces = std::array<QStringView, JobRecord::FieldCount>;

// The line's first sixteen pieces between separators, and how many there
// are up to sixteen; the rest are not looked at. A separator of one
// character is searched for as a character, which is much faster.
template <typename Separator>
int SplitFields(QStringView line, Separator separator, Pieces &pieces)
{
    int count = 0;
    for (const QStringView piece : qTokenize(line, separator)) {
        pieces[static_cast<size_t>(count)] = piece;
        if (++count == JobRecord::FieldCount)
            break;
    }
    return count;
}

// The records read so far (index 0 unused), and room for the rest: once a
// few hundred lines have been read, their length tells how many the file
// holds, so a long list is read without moving the records already read.
class RecordsRead {
public:
    explicit RecordsRead(const ModUnicodeFile::LineReader &file) : reader(file) { records.resize(1); }

    // A new empty record at the end, built in place.
    JobRecord &Add()
    {
        if (records.size() == EstimateAfter && reader.Size() > 0) {
            records.reserve(size_t(double(reader.Size()) / double(reader.BytesHandedOut()) * EstimateAfter * 1.05));
            AdviseLargePages(records.data(), records.capacity() * sizeof(JobRecord));
        }
        return records.emplace_back();
    }

    // The record before the last, if it is one read from the file.
    const JobRecord *BeforeLast() const { return records.size() > 2 ? &records[records.size() - 2] : nullptr; }

    std::vector<JobRecord> &&Taken() { return std::move(records); }

private:
    static constexpr size_t EstimateAfter = 1024;
    const ModUnicodeFile::LineReader &reader;
    std::vector<JobRecord> records;
};

// Only a line with a tab is copied (to make its tabs blanks); any other is
// split where it stands, and the fields are its only copies.
void ReadJobLine(QStringView line, const QString &separator, RecordsRead &records, FieldTexts &texts)
{
    QString blanked;
    if (line.contains(u'\t')) {
        blanked = line.toString().replace(u'\t', u' ');
        line = blanked;
    }
    if (IsSkippedLine(line) || separator.isEmpty())
        return;
    Pieces pieces;
    const int count = separator.size() == 1 ? SplitFields(line, separator.front(), pieces)
                                            : SplitFields(line, QStringView(separator), pieces);
    if (count < MinimumJobPieces)
        return;
    JobRecord &job = records.Add();
    const JobRecord *before = records.BeforeLast();
    for (int f = 0; f < count; ++f)
        job.Field(f) = texts.Text(f, pieces[static_cast<size_t>(f)], before ? &before->Field(f) : nullptr);
}

// A read failure of the file.
class ReadFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The next line; a missing one is a failure of the load.
QStringView NextLine(ModUnicodeFile::LineReader &reader)
{
    QStringView line;
    QString error;
    if (reader.Next(line, &error))
        return line;
    if (!error.isEmpty())
        throw ReadFailure(error.toStdString());
    throw SubscriptError();
}

// Lines 2 to 5: the settings, in this order. The lines are kept, as lines 3
// on are read as job lines too (a header line never has enough pieces).
void ReadSettings(ModUnicodeFile::LineReader &reader, AppSettings &read, QStringList &lines)
{
    const auto nextValue = [&] {
        lines.append(NextLine(reader).toString());
        return JobListFile::HeaderValue(lines.back());
    };
    read.Separator = nextValue();
    read.LogFile = nextValue();
    read.ResetLog = nextValue() == QLatin1String("1");
    read.NumDLs = SlotCountSetting(nextValue());
}

// The job lines from line 3 on, into records; false, with the description
// in error, when the file could not be read to its end.
bool ReadJobs(ModUnicodeFile::LineReader &reader, const QStringList &headerLines, const QString &separator,
    RecordsRead &records, QString &error)
{
    FieldTexts texts;
    for (qsizetype n = 1; n < headerLines.size(); ++n)
        ReadJobLine(headerLines[n], separator, records, texts);
    QStringView line;
    while (reader.Next(line, &error))
        ReadJobLine(line, separator, records, texts);
    return error.isEmpty();
}

// The job's line: every field followed by the separator.
void JobLine(const JobRecord &job, const QString &separator, QString &line)
{
    line.resize(0);
    for (int f = 0; f < JobRecord::FieldCount; ++f) {
        job.Field(f).appendTo(line);
        line += separator;
    }
}

} // namespace

QString JobListFile::HeaderValue(const QString &line)
{
    const QStringList pieces = line.split(u'=');
    return pieces.size() >= 2 ? TrimBlanks(pieces[1]) : QString();
}

QString JobListFile::LoadJobList(const QString &path, AppSettings &settings, JobTable &jobs)
{
    const QString unable = QStringLiteral("Unable to load: ");
    ModUnicodeFile::LineReader reader;
    QString error;
    QStringView first;
    if (!reader.Open(path, &error) || !reader.Next(first, &error))
        return unable + (error.isEmpty() ? QString::fromUtf8(SubscriptError().what()) : error);
    if (TrimBlanks(first.toString()) != FormatVersion)
        return QStringLiteral("File is not valid for ") + ProductName();

    // Nothing changes until the whole file has been read, except that a file
    // ending among its settings lines changes the settings before the end.
    AppSettings read = settings;
    QStringList headerLines;
    try {
        ReadSettings(reader, read, headerLines);
        RecordsRead records(reader);
        if (!ReadJobs(reader, headerLines, read.Separator, records, error))
            return unable + error;
        settings = read;
        jobs.ReplaceRecords(records.Taken());
    } catch (const ReadFailure &failure) {
        return unable + QString::fromStdString(failure.what());
    } catch (const SubscriptError &failure) {
        settings = read;
        return unable + QString::fromUtf8(failure.what());
    } catch (const std::exception &failure) {
        return unable + QString::fromUtf8(failure.what());
    }
    return QString();
}

bool JobListFile::SaveJobList(const QString &path, AppSettings &settings, const JobTable &jobs, QString *message)
{
    if (settings.Separator.isEmpty())
        settings.Separator = DefaultSeparator;

    const QStringList header = {FormatVersion, QStringLiteral("Separator=") + settings.Separator,
        QStringLiteral("LogFile=") + settings.LogFile, QStringLiteral("ResetLog=") + (settings.ResetLog ? u'1' : u'0'),
        QStringLiteral("NumDLs=") + QString::number(settings.NumDLs)};
    try {
        ModUnicodeFile::LineWriter file(path, true);
        for (const QString &line : header + CommentBlock())
            file.Write(line);
        QString line;
        for (int32_t i = 1; i <= jobs.JobCount(); ++i) {
            const JobRecord &job = jobs.Record(i);
            if (job.Deleted)
                continue;
            JobLine(job, settings.Separator, line);
            file.Write(line);
        }
        file.Close();
    } catch (const std::exception &failure) {
        if (message)
            *message = QStringLiteral("Unable to save: %1: %2").arg(path, QString::fromUtf8(failure.what()));
        return false;
    }
    return true;
}
