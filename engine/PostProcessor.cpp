#include "engine/PostProcessor.h"

#include "app/AppSettings.h"
#include "app/JobTable.h"
#include "engine/FetchContext.h"
#include "engine/FileNameParts.h"
#include "engine/JobExpander.h"
#include "engine/PathVariables.h"
#include "engine/RunView.h"
#include "engine/ShellAndWait.h"
#include "log/RunLog.h"
#include "platform/FileSystem.h"
#include "util/Text.h"

namespace {

const QString FilePlaceholder = QStringLiteral("#FILE#");
const QString FilePathPlaceholder = QStringLiteral("#FILEPATH#");

bool StartAndWait(const QString &command)
{
    ShellAndWaitRequest request;
    request.CommandLine = command;
    request.Flags = ShellAndWaitRequest::UseShowWindow;
    request.ShowWindow = ShellAndWaitRequest::ShowMinimized;
    return ShellAndWait(request);
}

bool Contains(const QString &text, const QString &placeholder)
{
    return text.contains(placeholder, Qt::CaseInsensitive);
}

void Replace(QString &text, const QString &placeholder, const QString &value)
{
    text.replace(placeholder, value, Qt::CaseInsensitive);
}

} // namespace

PostProcessor::PostProcessor(FetchContext &fetchContext, JobExpander &jobExpander)
    : Launch(StartAndWait), context(fetchContext), expander(jobExpander)
{
}

void PostProcessor::Log(const QString &line)
{
    context.Log.AddLogLine(line);
}

void PostProcessor::PostProcessJob(int32_t recordIndex, int32_t row, bool fromRun)
{
    try {
        Run(recordIndex, row, fromRun);
    } catch (const std::exception &failure) {
        Log(QStringLiteral("Post Process error: ") + QString::fromUtf8(failure.what()));
        context.View->SetBusyPointer(false);
    }
}

void PostProcessor::Abort(const QString &reason)
{
    Log(reason);
    context.View->SetBusyPointer(false);
    Log(QStringLiteral("Post Process was aborted."));
}

void PostProcessor::Run(int32_t recordIndex, int32_t row, bool fromRun)
{
    if (!context.Log.Exists())
        context.StartRunLog();
    const JobRecord &job = context.Jobs.Record(recordIndex);
    if (TrimBlanks(job.CmdPP).isEmpty())
        return;
    if (fromRun && job.RunPP != QLatin1String("1"))
        return;
    context.View->SetBusyPointer(true);

    QString cmd = job.CmdPP;
    Replace(cmd, QStringLiteral("#OUT#"), job.Output);
    Replace(cmd, QStringLiteral("#OUTPUT#"), job.Output);
    ExpandCommandPathVariables(cmd, context.Settings.DataFolder);

    bool byPath = false;
    if (!Contains(cmd, FilePlaceholder)) {
        if (!Contains(cmd, FilePathPlaceholder)) {
            Abort(QStringLiteral("Unable to Execute Post Processing: #FILE# or #FILEPATH# missing from Post Process"));
            return;
        }
        byPath = true;
    }
    if (!fromRun)
        expander.ExpandJob(row, false);

    if (job.AllPP != QLatin1String("1"))
        RunPerFile(cmd, row);
    else if (!RunOnce(cmd, row, byPath, job.SepPP))
        return;
    context.View->SetBusyPointer(false);
    context.View->ProcessEvents();
}

void PostProcessor::RunPerFile(const QString &cmd, int32_t row)
{
    Log(QStringLiteral("Execute Post Processing: Row: ") + QString::number(row));
    for (int32_t k = 1; k <= context.Queue.QueueCount(); ++k) {
        const QueueItem item = context.Queue.Item(k);
        if (!FileExists(item.TargetPath))
            continue;
        QString c = cmd;
        Replace(c, FilePathPlaceholder, item.TargetPath);
        Replace(c, FilePlaceholder, item.FileName);
        Replace(c, QStringLiteral("#FILENAME#"), BaseName(item.FileName));
        Replace(c, QStringLiteral("#FILEEXT#"), Extension(item.FileName));
        Log(QStringLiteral("  Command (%1): ").arg(k) + c);
        context.View->ProcessEvents();
        Launch(c);
    }
}

// False when there was nothing to run (the abort is logged).
bool PostProcessor::RunOnce(QString cmd, int32_t row, bool byPath, const QString &separator)
{
    QString list;
    for (int32_t k = 1; k <= context.Queue.QueueCount(); ++k) {
        const QueueItem &item = context.Queue.Item(k);
        if (!FileExists(item.TargetPath))
            continue;
        if (!list.isEmpty())
            list += separator;
        list += byPath ? item.TargetPath : item.FileName;
    }
    if (list.isEmpty()) {
        Abort(QStringLiteral("Unable to Execute Post Processing: Row=%1. No files found!").arg(row));
        return false;
    }
    Replace(cmd, byPath ? FilePathPlaceholder : FilePlaceholder, list);
    Log(QStringLiteral("Execute Post Processing: Row: ") + QString::number(row));
    Log(QStringLiteral("  Command: ") + cmd);
    Launch(cmd);
    return true;
}
