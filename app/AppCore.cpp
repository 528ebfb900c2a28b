#include "app/AppCore.h"

#include "app/JobListFile.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"

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

AppCore::AppCore() : Jobs(LG), Engine(Settings, LG, Jobs, Log, &silentView) {}

void AppCore::SetView(RunView *newView)
{
    view = newView ? newView : &silentView;
    Engine.SetView(view);
}

RunView &AppCore::View() const
{
    return *view;
}

void AppCore::StartUp(const QString &commandLine)
{
    Settings.ProgramFolder = ProgramFolder();
    Settings.CreateDataFolder();
    Jobs.SetupJobGrid();
    Engine.Slots.SetSlotCount(DefaultSlotCount);

    QString listPath = Settings.DefaultJobListPath();
    CommandLineListPath.clear();
    if (!commandLine.trimmed().isEmpty()) {
        const QString path = CommandLinePath(commandLine);
        if (FileExists(path)) {
            CommandLineListPath = path;
            listPath = path;
        }
    }
    LoadList(listPath);
    view->ProcessEvents();
    FillGrid();
}

bool AppCore::LoadList(const QString &path)
{
    const QString message = JobListFile::LoadJobList(path, Settings, Jobs);
    if (message.isEmpty())
        return true;
    view->ShowMessage(message);
    return false;
}

void AppCore::FillGrid()
{
    if (Jobs.JobCount() == 0) {
        Jobs.DefaultJobs(DefaultJobCount);
        Engine.Slots.SetSlotCount(DefaultSlotCount);
    }
    LG.Clear();
    LG.SetRedraw(false);
    for (int32_t i = 1; i <= Jobs.JobCount(); ++i) {
        if (Jobs.Record(i).Deleted)
            continue;
        const int32_t row = LG.AddItem();
        Jobs.RecordToRow(row, i);
    }
    LG.SetRedraw(true);
}

void AppCore::StartRunLog()
{
    Log.StartRunLog(Settings);
}
