#pragma once

#include "app/AppSettings.h"
#include "app/JobTable.h"
#include "controls/grid/GridStore.h"
#include "engine/FetchEngine.h"
#include "engine/RunView.h"
#include "log/RunLog.h"
#include "startup/StartUpWindow.h"

#include <QString>

// The application's state and start-up without any widget: the settings, the
// job records and the job grid's store, the run log and the fetch engine.
// The desktop window and the command-line runner both drive one of these.
class AppCore {
public:
    AppCore();

    AppSettings &Settings() { return settings; }
    const AppSettings &Settings() const { return settings; }
    GridStore &LG() { return grid; }
    const GridStore &LG() const { return grid; }
    JobTable &Jobs() { return jobs; }
    const JobTable &Jobs() const { return jobs; }
    FetchEngine &Engine() { return engine; }
    const FetchEngine &Engine() const { return engine; }
    // The job list file named on the command line, kept only when it exists.
    QString CommandLineListPath() const { return commandLineListPath; }
    // The job list file start-up loaded (or tried to): the one named on the
    // command line, else the default list.
    QString StartUpListPath() const { return startUpListPath; }

    // Where messages, bars and captions go; the default shows nothing.
    void SetView(RunView *view);

    // The start-up order, shared by the window and the headless fronts: data
    // folder and the options saved there, job grid columns, three slots, the
    // job list named by commandLine (or the default list, DefaultJobListOf),
    // the grid filled. A load message goes to the view; the window (if any)
    // hooks in where a
    // step touches its controls.
    void StartUp(const QString &commandLine, StartUpWindow *window = nullptr);
    // What start-up and the Load button do with a list: load it, show the
    // settings, let pending events run once, rebuild the grid. Refused
    // (false, nothing changes) while a run is going.
    bool LoadAndFill(const QString &path, StartUpWindow *window = nullptr);
    // Loads a job list (settings and records); a message goes to the view.
    // True when the list loaded without a message. Refused (false, nothing
    // read) while a run is going.
    bool LoadList(const QString &path);
    // Rebuilds the grid from the records; with no records, ten default jobs
    // and three slots first.
    void FillGrid();

    // The row actions on the jobs: a copy is allowed during a run (it is
    // appended), a delete is refused (false).
    int32_t CopyJob(int32_t row);
    bool DeleteJob(int32_t row);

    // What "View Log" shows: the run log flushed so that other programs read
    // all of it; gives the log file's path ("" before the first run unless
    // the list named one).
    QString FlushedLogFile();

    // The program is ending at once: every download in flight is given up,
    // the leftovers are removed, the log lines still held in memory reach
    // the file. Nothing else runs: no closing log line, nothing saved.
    void AbandonForExit();
    // What must not outlive a program that ends at once, whichever way it
    // ends: the named spool files, and the process groups of the
    // post-processing commands still running. Async-signal-safe.
    static void RemoveLeftovers();

private:
    // The settings into their controls, pending events once, the grid rebuilt.
    void ShowLoadedList(StartUpWindow *window);

    AppSettings settings;
    GridStore grid;
    JobTable jobs;
    RunLog log;
    FetchEngine engine;
    QString commandLineListPath;
    QString startUpListPath;
    RunView silentView;
    RunView *view = &silentView;
};
