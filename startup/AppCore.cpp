#include "startup/AppCore.h"

#include "app/JobListFile.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/ProcessGroups.h"
#include "platform/SpoolFile.h"
#include "startup/Installation.h"

namespace {

constexpr int DefaultJobCount = 10;
constexpr int32_t DefaultSlotCount = 3;

// The command line as a path: trimmed, every double and single quote removed.
QString CommandLinePath(const QString &commandLine)
{
    QString path = commandLine.trimmed();
    path.remove(u'"');
    path.remove(u'\'');
    return path;
}

} // namespace

AppCore::AppCore() : jobs(grid), engine(settings, grid, jobs, log)
{
    settings.ProgramFolder = ProgramFolder();
}

void AppCore::SetView(RunView *newView)
{
    view = newView ? newView : &silentView;
    engine.SetView(view);
}

void AppCore::StartUp(const QString &commandLine, StartUpWindow *window)
{
    settings.CreateDataFolder();
    settings.Options = AppOptions::Load(settings.DataFolder);
    if (window)
        window->WindowCreated();
    jobs.SetupJobGrid();
    engine.SetSlotCount(DefaultSlotCount);

    commandLineListPath.clear();
    if (!commandLine.trimmed().isEmpty()) {
        const QString path = CommandLinePath(commandLine);
        if (FileExists(path))
            commandLineListPath = path;
    }
    const DefaultJobList fallback = DefaultJobListOf(settings);
    startUpListPath = commandLineListPath.isEmpty() ? fallback.Path : commandLineListPath;
    if (!commandLineListPath.isEmpty())
        LoadAndFill(commandLineListPath, window);
    else if (fallback.MissingIsNormal && !FileExists(fallback.Path))
        ShowLoadedList(window);
    else
        LoadAndFill(fallback.Path, window);
    if (window)
        window->StartUpDone();
}

bool AppCore::LoadAndFill(const QString &path, StartUpWindow *window)
{
    if (!engine.AllowsRowChanges())
        return false;
    const bool loaded = LoadList(path);
    ShowLoadedList(window);
    return loaded;
}

void AppCore::ShowLoadedList(StartUpWindow *window)
{
    if (window)
        window->SettingsLoaded();
    view->ProcessEvents();
    FillGrid();
}

bool AppCore::LoadList(const QString &path)
{
    if (!engine.AllowsRowChanges())
        return false;
    const QString message = JobListFile::LoadJobList(path, settings, jobs);
    if (message.isEmpty())
        return true;
    view->ShowMessage(message);
    return false;
}

void AppCore::FillGrid()
{
    if (jobs.JobCount() == 0) {
        jobs.DefaultJobs(DefaultJobCount);
        engine.SetSlotCount(DefaultSlotCount);
    }
    grid.Clear();
    grid.SetRedraw(false);
    jobs.AddRecordRows();
    grid.SetRedraw(true);
}

int32_t AppCore::CopyJob(int32_t row)
{
    return jobs.CopyJob(row);
}

bool AppCore::DeleteJob(int32_t row)
{
    if (!engine.AllowsRowChanges())
        return false;
    jobs.DeleteJob(row);
    return true;
}

QString AppCore::FlushedLogFile()
{
    log.FlushLog();
    return settings.LogFile;
}

void AppCore::AbandonForExit()
{
    engine.GiveUpAll();
    RemoveLeftovers();
    log.WriteHeldLines();
}

void AppCore::RemoveLeftovers()
{
    SpoolFile::RemoveNamedFiles();
    EndTrackedProcessGroups();
}
