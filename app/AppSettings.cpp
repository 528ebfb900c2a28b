#include "app/AppSettings.h"

#include "platform/Environment.h"

#include <QDir>

QString ProductName()
{
    return QStringLiteral("Tavrin™");
}

void AppSettings::CreateDataFolder()
{
    DataFolder = DataFolderBase() + QStringLiteral("/Velmora");
    // The XDG data home itself may be missing on a new account.
    QDir().mkpath(DataFolder);
}

QString AppSettings::DefaultLogFilePath() const
{
    return DataFolder + QStringLiteral("/TvLog.txt");
}
