#include "app/PathVariables.h"

#include "platform/Environment.h"
#include "platform/FileSystem.h"

#include <array>

namespace {

enum class Expansion { OutputFolder, CommandLine };

QString SystemFolder(Expansion expansion)
{
    const QString root = GetEnv(QStringLiteral("SystemRoot"));
    if (root.isEmpty() && expansion == Expansion::CommandLine)
        return QString();
    // "/" rather than "\": a command line reaches the program exactly as
    // written, and a Linux program only reads "/" as a separator. In an
    // output folder both separators count, so the folder is the same.
    return root + QStringLiteral("/system32");
}

struct PathVariable {
    const char *token;
    QString (*value)(const QString &dataFolder, Expansion expansion);
};

// The path variables and what each stands for.
const PathVariable AppPath{"%APPPATH%", [](const QString &, Expansion) { return ProgramFolder(); }};
const PathVariable Temp{"%TEMP%", [](const QString &, Expansion) { return TempFolder(); }};
const PathVariable MyDoc{"%MYDOC%", [](const QString &, Expansion) { return GetSpecialFolder(DocumentsFolderId); }};
const PathVariable AppData{"%APPDATA%", [](const QString &dataFolder, Expansion) { return dataFolder; }};
const PathVariable Sys32{"%SYS32%", [](const QString &, Expansion e) { return SystemFolder(e); }};
const PathVariable WinDir{"%WINDIR%", [](const QString &, Expansion) { return GetEnv(QStringLiteral("WinDir")); }};

// Each step works on the result of the one before, so a value inserted by
// an earlier variable is searched for the later ones: the order matters.
using VariableOrder = std::array<const PathVariable *, 6>;
const VariableOrder OutputFolderOrder = {&AppPath, &Temp, &MyDoc, &AppData, &Sys32, &WinDir};
const VariableOrder CommandLineOrder = {&AppPath, &AppData, &Sys32, &WinDir, &Temp, &MyDoc};

void ExpandInOrder(QString &text, const VariableOrder &order, const QString &dataFolder, Expansion expansion)
{
    for (const PathVariable *variable : order)
        ReplaceToken(text, QString::fromLatin1(variable->token), variable->value(dataFolder, expansion));
}

QString AsFolderPath(const QString &folder)
{
    QString path = NativeSeparators(folder);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace

void ReplaceToken(QString &text, const QString &token, const QString &value)
{
    if (token.isEmpty() || !text.contains(token, Qt::CaseInsensitive))
        return;
    // QString::replace finds every match in the original text first, so a
    // value that contains the token is not expanded again.
    text.replace(token, value, Qt::CaseInsensitive);
}

void ResolveOutputFolder(QString &folder, const QString &dataFolder)
{
    try {
        QString resolved = folder;
        ExpandInOrder(resolved, OutputFolderOrder, dataFolder, Expansion::OutputFolder);
        // An empty folder would be the root here: unusable, as a drive path.
        if (resolved.isEmpty() || IsDrivePath(resolved)) {
            folder.clear();
            return;
        }
        resolved = AsFolderPath(resolved);
        CreateFolderPath(resolved);
        folder = resolved;
    } catch (...) {
        folder.clear();
    }
}

void ExpandCommandPathVariables(QString &command, const QString &dataFolder)
{
    ExpandInOrder(command, CommandLineOrder, dataFolder, Expansion::CommandLine);
}
