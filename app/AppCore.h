#pragma once

#include "app/AppSettings.h"
#include "app/JobTable.h"
#include "controls/grid/GridStore.h"
#include "engine/FetchEngine.h"
#include "engine/RunView.h"
#include "log/RunLog.h"

#include <QString>

// The application's state and start-up without any widget: the settings, the
// job records and the job grid's store, the run log and the fetch engine.
// The desktop window and the command-line runner both drive one of these.
class AppCore {
public:
    AppCore();

    AppSettings Settings;
    GridStore LG;
    JobTable Jobs;
    RunLog Log;
    FetchEngine Engine;
    // The job list file named on the command line, kept only when it exists.
    QString CommandLineListPath;

    // Where messages, bars and captions go; the default shows nothing.
    void SetView(RunView *view);
    RunView &View() const;

    // Start-up as the window does it, minus the widgets: data folder, job
    // grid columns, three slots, the job list named by commandLine (or the
    // program folder's TvData.txt), the grid filled. A load message goes to
    // the view.
    void StartUp(const QString &commandLine);
    // Loads a job list (settings and records); a message goes to the view.
    // True when the list loaded without a message.
    bool LoadList(const QString &path);
    // Rebuilds the grid from the records; with no records, ten default jobs
    // and three slots first.
    void FillGrid();
    void StartRunLog();

private:
    RunView silentView;
    RunView *view = &silentView;
};
