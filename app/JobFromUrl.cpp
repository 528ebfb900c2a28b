#include "app/JobFromUrl.h"

#include <QUrl>

#include <limits>

namespace {

// A refused text is quoted in the message, shortened: the clipboard may
// hold a whole page.
constexpr qsizetype MaxQuoted = 200;

QString Quoted(const QString &text)
{
    return text.size() <= MaxQuoted ? text : text.left(MaxQuoted) + QStringLiteral("…");
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool HasBlankOrControl(const QString &text)
{
    for (QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

bool IsDownloadUrl(const QString &text, const QUrl &url)
{
    static const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp")};
    return !text.isEmpty() && !HasBlankOrControl(text) && text.contains(QStringLiteral("://")) && url.isValid() &&
        schemes.contains(url.scheme(), Qt::CaseInsensitive) && !url.host().isEmpty();
}

// Positions in the URL as written: the path starts after "scheme://" and
// the authority (user, host, port), the query after the path, the fragment
// after that.
struct UrlParts {
    qsizetype pathStart = 0;
    qsizetype pathEnd = 0;
    qsizetype queryEnd = 0;
};

UrlParts PartsOf(const QString &text)
{
    const qsizetype authority = text.indexOf(QStringLiteral("://")) + 3;
    UrlParts parts;
    parts.pathStart = authority;
    while (parts.pathStart < text.size() && !QStringLiteral("/?#").contains(text[parts.pathStart]))
        ++parts.pathStart;
    parts.queryEnd = text.indexOf(u'#', parts.pathStart);
    if (parts.queryEnd < 0)
        parts.queryEnd = text.size();
    parts.pathEnd = parts.pathStart;
    while (parts.pathEnd < parts.queryEnd && text[parts.pathEnd] != u'?')
        ++parts.pathEnd;
    return parts;
}

struct DigitRun {
    qsizetype start = 0;
    qsizetype length = 0;
};

// The last run of digits in text[from, to); length 0 when there is none.
DigitRun LastDigitRun(const QString &text, qsizetype from, qsizetype to)
{
    qsizetype end = to;
    while (end > from && !IsDigit(text[end - 1]))
        --end;
    qsizetype start = end;
    while (start > from && IsDigit(text[start - 1]))
        --start;
    return {start, end - start};
}

DigitRun SequenceNumberOf(const QString &text)
{
    const UrlParts parts = PartsOf(text);
    const qsizetype lastSegment = text.lastIndexOf(u'/', parts.pathEnd - 1) + 1;
    const DigitRun inName = LastDigitRun(text, std::max(lastSegment, parts.pathStart), parts.pathEnd);
    return inName.length > 0 ? inName : LastDigitRun(text, parts.pathStart, parts.queryEnd);
}

// The number a run of digits writes, or -1 beyond a 32-bit bound.
qint64 BoundOf(QStringView digits)
{
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.mid(1);
    if (digits.size() > 10)
        return -1;
    const qint64 number = digits.toLongLong();
    return number <= std::numeric_limits<int32_t>::max() ? number : -1;
}

QString CategoryOf(const QUrl &url)
{
    QString host = url.host();
    if (host.startsWith(QStringLiteral("www."), Qt::CaseInsensitive))
        host.remove(0, 4);
    return host;
}

std::optional<JobRecord> Refused(QString *message, const QString &text)
{
    if (message)
        *message = text;
    return std::nullopt;
}

} // namespace

std::optional<JobRecord> JobFromUrl(const QString &pasted, QString *message)
{
    const QString text = pasted.trimmed();
    const QUrl url(text, QUrl::TolerantMode);
    if (!IsDownloadUrl(text, url))
        return Refused(message, QStringLiteral("Not an http, https or ftp URL: ") + Quoted(text));

    JobRecord job;
    job.Get = "1";
    job.Category = CategoryOf(url);
    job.Output = QStringLiteral("%MYDOC%/Tavrin/") + job.Category.toString();
    const DigitRun run = SequenceNumberOf(text);
    if (run.length == 0) {
        job.Url = text;
        return job;
    }
    const QStringView digits = QStringView(text).mid(run.start, run.length);
    const qint64 bound = BoundOf(digits);
    if (bound < 0)
        return Refused(message,
            QStringLiteral("The number %1 in this URL is larger than a sequence can count "
                           "(2147483647): %2")
                .arg(Quoted(digits.toString()), Quoted(text)));
    job.Url = text.left(run.start) + QStringLiteral("#1#") + text.mid(run.start + run.length);
    job.L1 = bound == 0 ? "0" : "1";
    job.U1 = QString::number(bound);
    if (digits.size() > 1 && digits.front() == u'0')
        job.Format1 = QString(digits.size(), u'0');
    return job;
}
