#include "platform/Environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

// An empty variable would turn the folders below into relative names, so
// it counts as unset.
QString EnvOr(const char *name, const QString &fallback)
{
    const QString value = GetEnv(QString::fromLatin1(name));
    return value.isEmpty() ? fallback : value;
}

} // namespace

QString GetEnv(const QString &name)
{
    if (name.isEmpty())
        return QString();
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QString GetSpecialFolder(int id)
{
    if (id != DocumentsFolderId)
        return QString();
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString TempFolder()
{
    return EnvOr("TEMP", QDir::tempPath());
}

QString DataFolderBase()
{
    return EnvOr("APPDATA", QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}
