#include "startup/Installation.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString ListName = QStringLiteral("TvData.txt");

// The install puts the program, the marker and the README at these places
// below its prefix (CMakeLists.txt).
QString Prefix(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/.."));
}

} // namespace

bool IsInstalledProgram(const QString &programFolder)
{
    return QFileInfo(programFolder).fileName() == QLatin1String("bin") &&
        FileExists(Prefix(programFolder) + QStringLiteral("/share/tavrin/installed"));
}

DefaultJobList DefaultJobListOf(const AppSettings &settings)
{
    const QString beside = settings.ProgramFolder + u'/' + ListName;
    if (!IsInstalledProgram(settings.ProgramFolder) || FileExists(beside))
        return {beside, false};
    return {settings.DataFolder + u'/' + ListName, true};
}

QString FirstDialogFolder(const AppSettings &settings)
{
    return IsInstalledProgram(settings.ProgramFolder) ? settings.DataFolder : QString();
}

QString ReadmeFile(const QString &programFolder)
{
    if (IsInstalledProgram(programFolder))
        return Prefix(programFolder) + QStringLiteral("/share/doc/tavrin/README.md");
    return programFolder + QStringLiteral("/README.md");
}
