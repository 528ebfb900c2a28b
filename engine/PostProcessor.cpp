#include "engine/PostProcessor.h"

#include "app/AppSettings.h"
#include "app/JobTable.h"
#include "app/PathVariables.h"
#include "app/RowJob.h"
#include "engine/FetchContext.h"
#include "engine/FileNameParts.h"
#include "engine/JobExpander.h"
#include "engine/RunView.h"
#include "engine/ShellAndWait.h"
#include "log/RunLog.h"
#include "platform/FileSystem.h"
#include "util/Text.h"

#include <QProcess>

namespace {

const QString FilePlaceholder = QStringLiteral("#FILE#");
const QString FilePathPlaceholder = QStringLiteral("#FILEPATH#");

bool StartAndWait(const PostProcessCommand &command)
{
    ShellAndWaitRequest request;
    request.CommandLine = command.Text;
    request.Arguments = command.Arguments;
    request.Flags = ShellAndWaitRequest::UseShowWindow;
    request.ShowWindow = ShellAndWaitRequest::ShowMinimized;
    return ShellAndWait(request);
}

void Replace(QString &text, const QString &placeholder, const QString &value)
{
    text.replace(placeholder, value, Qt::CaseInsensitive);
}

// Blanks only: the user of the one-call form means separate arguments.
bool IsBlank(const QString &separator)
{
    return !separator.isEmpty() && TrimBlanks(separator).isEmpty();
}

} // namespace

// The command is split into program and arguments before anything is filled
// in, so that a path with blanks or quotes stays one argument; the text is
// filled the same way for the log.
PostProcessCommand::PostProcessCommand(const QString &commandLine)
    : Text(commandLine),
      Arguments(QProcess::splitCommand(commandLine))
{
}

void PostProcessCommand::Fill(const QString &placeholder, const QString &value)
{
    Replace(Text, placeholder, value);
    for (QString &argument : Arguments)
        Replace(argument, placeholder, value);
}

void PostProcessCommand::FillList(const QString &placeholder, const QStringList &values, const QString &separator)
{
    const QString joined = values.join(separator);
    Replace(Text, placeholder, joined);
    QStringList filled;
    for (QString argument : std::as_const(Arguments)) {
        if (IsBlank(separator) && argument.compare(placeholder, Qt::CaseInsensitive) == 0) {
            filled << values;
            continue;
        }
        Replace(argument, placeholder, joined);
        filled << argument;
    }
    Arguments = filled;
}

void PostProcessCommand::ExpandPathVariables(const QString &dataFolder)
{
    ExpandCommandPathVariables(Text, dataFolder);
    for (QString &argument : Arguments)
        ExpandCommandPathVariables(argument, dataFolder);
}

bool PostProcessCommand::Contains(const QString &placeholder) const
{
    return Text.contains(placeholder, Qt::CaseInsensitive);
}

PostProcessor::PostProcessor(FetchContext &fetchContext, JobExpander &jobExpander)
    : Launch(StartAndWait),
      context(fetchContext),
      expander(jobExpander)
{
}

void PostProcessor::Log(const QString &line)
{
    context.Log.AddLogLine(line);
}

void PostProcessor::PostProcessRow(int32_t row, bool fromRun)
{
    try {
        if (!context.Log.Exists())
            context.StartRunLog();
        // The job as it is now: the edit panel may have changed it while its
        // files were downloading.
        Run(context.Jobs.JobOfRow(row), fromRun);
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

// A row action resolves the job's folder only here: a job with nothing to
// run makes no folder.
void PostProcessor::Run(RowJob job, bool fromRun)
{
    if (TrimBlanks(job.CmdPP).isEmpty())
        return;
    if (fromRun && job.RunPP != QLatin1String("1"))
        return;
    context.View->SetBusyPointer(true);

    // The folder as the user wrote it, with this system's separators; its
    // path variables are expanded with the command's.
    PostProcessCommand cmd(job.CmdPP);
    const QString folder = NativeSeparators(job.Output);
    cmd.Fill(QStringLiteral("#OUT#"), folder);
    cmd.Fill(QStringLiteral("#OUTPUT#"), folder);
    cmd.ExpandPathVariables(context.Settings.DataFolder);

    bool byPath = false;
    if (!cmd.Contains(FilePlaceholder)) {
        if (!cmd.Contains(FilePathPlaceholder)) {
            Abort(QStringLiteral("Unable to Execute Post Processing: #FILE# or #FILEPATH# missing from Post Process"));
            return;
        }
        byPath = true;
    }
    if (!fromRun) {
        job.ResolveFolder(context.Settings.DataFolder);
        expander.ExpandJob(job, false);
    }

    if (job.AllPP != QLatin1String("1"))
        RunPerFile(cmd, job.Row);
    else if (!RunOnce(cmd, job.Row, byPath, job.SepPP))
        return;
    context.View->SetBusyPointer(false);
    context.View->ProcessEvents();
}

void PostProcessor::RunPerFile(const PostProcessCommand &cmd, int32_t row)
{
    Log(QStringLiteral("Execute Post Processing: Row: ") + QString::number(row));
    for (int32_t k = 1; k <= context.Queue.QueueCount(); ++k) {
        const QueueItem item = context.Queue.Item(k);
        if (!FileExists(item.TargetPath))
            continue;
        PostProcessCommand c = cmd;
        c.Fill(FilePathPlaceholder, item.TargetPath);
        c.Fill(FilePlaceholder, item.FileName);
        c.Fill(QStringLiteral("#FILENAME#"), BaseName(item.FileName));
        c.Fill(QStringLiteral("#FILEEXT#"), Extension(item.FileName));
        Log(QStringLiteral("  Command (%1): ").arg(k) + c.Text);
        context.View->ProcessEvents();
        Launch(c);
    }
}

// False when there was nothing to run (the abort is logged).
bool PostProcessor::RunOnce(PostProcessCommand cmd, int32_t row, bool byPath, const QString &separator)
{
    QStringList list;
    for (int32_t k = 1; k <= context.Queue.QueueCount(); ++k) {
        const QueueItem item = context.Queue.Item(k);
        if (FileExists(item.TargetPath))
            list << (byPath ? item.TargetPath : item.FileName);
    }
    // Names joined by an empty separator still make one name.
    if (list.join(separator).isEmpty()) {
        Abort(QStringLiteral("Unable to Execute Post Processing: Row=%1. No files found!").arg(row));
        return false;
    }
    cmd.FillList(byPath ? FilePathPlaceholder : FilePlaceholder, list, separator);
    Log(QStringLiteral("Execute Post Processing: Row: ") + QString::number(row));
    Log(QStringLiteral("  Command: ") + cmd.Text);
    Launch(cmd);
    return true;
}
