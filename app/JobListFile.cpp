#include "app/JobListFile.h"

#include "app/AppSettings.h"
#include "app/JobTable.h"
#include "app/ModUnicodeFile.h"
#include "util/Errors.h"
#include "util/Numbers.h"
#include "util/Text.h"

#include <QHash>
#include <QStringList>
#include <QStringTokenizer>

#include <array>
#include <unordered_map>

namespace {

const QString LineEnd = QStringLiteral("\r\n");
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
        QStringLiteral("#   Get Category URL L1 U1 Format1 L1 U1 Format1 Prefix Output LastDate RunPP AllPP SepPP CmdPP"),
        QStringLiteral("#"),
        u'#' + QString(84, u'-'),
    };
}

// The lines are views into the file's text: a list of 100,000 jobs is split
// without copying each line first.
using Lines = QList<QStringView>;

// The text split at every CR LF. The line ends are found through their CR,
// the fast search for one character; a CR without an LF after it stays in
// its line.
Lines SplitLines(QStringView text)
{
    Lines lines;
    qsizetype start = 0;
    for (qsizetype cr = text.indexOf(u'\r'); cr >= 0; cr = text.indexOf(u'\r', cr + 1)) {
        if (cr + 1 < text.size() && text[cr + 1] == u'\n') {
            lines.append(text.sliced(start, cr - start));
            start = cr + 2;
        }
    }
    lines.append(text.sliced(start));
    return lines;
}

// Line n (from 1) of the file; a missing line is a failure of the load.
QString Line(const Lines &lines, int n)
{
    if (n < 1 || n > lines.size())
        throw SubscriptError();
    return lines[n - 1].toString();
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
// field are remembered, so fields that differ from job to job (URLs,
// folders) cost little here.
class FieldTexts {
public:
    QString Text(int field, QStringView piece, const QString *before)
    {
        if (before && *before == piece)
            return *before;
        if (piece.isEmpty())
            return piece.toString();
        std::unordered_map<size_t, QString> &seen = texts[static_cast<size_t>(field)];
        const size_t hash = qHash(piece);
        const auto found = seen.find(hash);
        if (found != seen.end() && found->second == piece)
            return found->second;
        QString text = piece.toString();
        if (found == seen.end() && seen.size() < KeptPerField)
            seen.emplace(hash, text);
        return text;
    }

private:
    static constexpr size_t KeptPerField = 512;
    std::array<std::unordered_map<size_t, QString>, JobRecord::FieldCount> texts;
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

// Only a line with a tab is copied (to make its tabs blanks); any other is
// split where it stands, and the fields are its only copies.
void ReadJobLine(QStringView line, const QString &separator, JobTable &jobs, FieldTexts &texts)
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
    const JobRecord *before = jobs.JobCount() > 0 ? &jobs.Record(jobs.JobCount()) : nullptr;
    JobRecord job;
    for (int f = 0; f < count; ++f)
        job.Field(f) = texts.Text(f, pieces[static_cast<size_t>(f)], before ? &before->Field(f) : nullptr);
    jobs.AppendRecord(std::move(job));
}

void ReadSettingsAndJobs(const Lines &lines, AppSettings &settings, JobTable &jobs)
{
    settings.Separator = JobListFile::HeaderValue(Line(lines, 2));
    settings.LogFile = JobListFile::HeaderValue(Line(lines, 3));
    settings.ResetLog = JobListFile::HeaderValue(Line(lines, 4)) == QLatin1String("1");
    settings.NumDLs = SlotCountSetting(JobListFile::HeaderValue(Line(lines, 5)));
    jobs.RemoveAllRecords();
    jobs.ReserveRecords(static_cast<int32_t>(lines.size()));
    FieldTexts texts;
    for (int n = 3; n <= lines.size(); ++n)
        ReadJobLine(lines[n - 1], settings.Separator, jobs, texts);
}

QString JobLine(const JobRecord &job, const QString &separator)
{
    QString line;
    for (int f = 0; f < JobRecord::FieldCount; ++f)
        line += job.Field(f) + separator;
    return line;
}

} // namespace

QString JobListFile::HeaderValue(const QString &line)
{
    const QStringList pieces = line.split(u'=');
    return pieces.size() >= 2 ? TrimBlanks(pieces[1]) : QString();
}

QString JobListFile::LoadJobList(const QString &path, AppSettings &settings, JobTable &jobs)
{
    QString readError;
    const QString text = ModUnicodeFile::ReadWholeText(path, nullptr, &readError);
    if (text.isEmpty())
        return QStringLiteral("Unable to load: ")
            + (readError.isEmpty() ? QString::fromUtf8(SubscriptError().what()) : readError);

    const Lines lines = SplitLines(text);
    if (TrimBlanks(lines[0].toString()) != FormatVersion)
        return QStringLiteral("File is not valid for ") + ProductName();
    try {
        ReadSettingsAndJobs(lines, settings, jobs);
    } catch (const std::exception &failure) {
        return QStringLiteral("Unable to load: ") + QString::fromUtf8(failure.what());
    }
    return QString();
}

bool JobListFile::SaveJobList(const QString &path, AppSettings &settings, const JobTable &jobs)
{
    if (settings.Separator.isEmpty())
        settings.Separator = DefaultSeparator;

    QStringList lines;
    lines << FormatVersion << (QStringLiteral("Separator=") + settings.Separator)
          << (QStringLiteral("LogFile=") + settings.LogFile)
          << (QStringLiteral("ResetLog=") + (settings.ResetLog ? u'1' : u'0'))
          << (QStringLiteral("NumDLs=") + QString::number(settings.NumDLs));
    lines << CommentBlock();
    for (int32_t i = 1; i <= jobs.JobCount(); ++i) {
        const JobRecord &job = jobs.Record(i);
        if (!job.Deleted)
            lines << JobLine(job, settings.Separator);
    }
    try {
        ModUnicodeFile::WriteWholeFile(path, ModUnicodeFile::EncodeUtf16(lines.join(LineEnd) + LineEnd), true);
    } catch (const std::exception &) {
        return false;
    }
    return true;
}
