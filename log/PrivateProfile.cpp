#include "log/PrivateProfile.h"

#include <QFile>
#include <QStringList>

namespace {

QStringList ReadLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromLocal8Bit(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool IsSectionHeader(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(u'[') && t.endsWith(u']');
}

bool IsSection(const QString &line, const QString &section)
{
    const QString t = line.trimmed();
    return IsSectionHeader(line) && t.mid(1, t.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0;
}

bool IsKey(const QString &line, const QString &key)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

// The line index range [begin, end) of the section's body; begin = -1 when
// the section is missing.
std::pair<int, int> FindSection(const QStringList &lines, const QString &section)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (!IsSection(lines[i], section))
            continue;
        int end = i + 1;
        while (end < lines.size() && !IsSectionHeader(lines[end]))
            ++end;
        return {i + 1, end};
    }
    return {-1, -1};
}

} // namespace

QString PrivateProfile::Read(
    const QString &fileName, const QString &section, const QString &key, const QString &defaultValue)
{
    const QStringList lines = ReadLines(fileName);
    const auto [begin, end] = FindSection(lines, section);
    for (int i = begin; begin >= 0 && i < end; ++i) {
        if (IsKey(lines[i], key))
            return lines[i].mid(lines[i].indexOf(u'=') + 1).trimmed();
    }
    return defaultValue;
}

bool PrivateProfile::Write(const QString &fileName, const QString &section, const QString &key, const QString &value)
{
    QStringList lines = ReadLines(fileName);
    const QString entry = key + u'=' + value;
    const auto [begin, end] = FindSection(lines, section);
    if (begin < 0) {
        lines << (u'[' + section + u']') << entry;
    } else {
        int found = -1;
        for (int i = begin; i < end && found < 0; ++i) {
            if (IsKey(lines[i], key))
                found = i;
        }
        if (found >= 0)
            lines[found] = entry;
        else
            lines.insert(end, entry);
    }
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLocal8Bit()) >= 0;
}
