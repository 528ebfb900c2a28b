#include "engine/FileNameParts.h"

namespace {

// Where the file's own name starts: after the last "\", else after the
// last "/", else at the start.
qsizetype NameStart(const QString &name)
{
    qsizetype separator = name.lastIndexOf(QLatin1Char('\\'));
    if (separator < 0)
        separator = name.lastIndexOf(QLatin1Char('/'));
    return separator + 1;
}

} // namespace

QString BaseName(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype start = NameStart(name);
    if (dot < start)
        return QString();
    return name.mid(start, dot - start);
}

QString Extension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}
