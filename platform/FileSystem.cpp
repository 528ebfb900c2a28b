#include "platform/FileSystem.h"

#include "platform/FolderCreationError.h"

#include <QDir>
#include <QFileInfo>

namespace {

// One level of the walk. A level that is already a folder, and the empty
// name in front of a leading "/" (the root), are not failures.
void CreateOneFolder(const QString &folder)
{
    if (folder.isEmpty())
        return;
    if (QDir().mkdir(folder) || FolderExists(folder))
        return;
    throw FolderCreationError(folder);
}

} // namespace

QString NativeSeparators(const QString &path)
{
    return QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

bool FolderExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

void CreateFolderPath(const QString &path)
{
    const QString folder = NativeSeparators(path);
    if (FolderExists(folder))
        return;
    // Every separator ends one level, and the whole path is the last one:
    // a/b/c gives a, a/b, a/b/c.
    const QString walked = folder + QLatin1Char('/');
    for (qsizetype p = walked.indexOf(QLatin1Char('/')); p >= 0; p = walked.indexOf(QLatin1Char('/'), p + 1))
        CreateOneFolder(folder.left(p));
}

bool IsDrivePath(const QString &path)
{
    const bool letter =
        path.size() >= 2 && path[0].isLetter() && path[0].unicode() < 0x80 && path[1] == QLatin1Char(':');
    return letter && (path.size() == 2 || path[2] == QLatin1Char('\\') || path[2] == QLatin1Char('/'));
}
