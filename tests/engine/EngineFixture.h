#pragma once

#include "startup/AppCore.h"
#include "support/ScopedEnvironment.h"
#include "support/TestHttpServer.h"

#include <QTemporaryDir>

// An application with a temporary data folder and log, and a helper that
// adds job rows.
class EngineFixture {
public:
    EngineFixture()
    {
        env.Set("APPDATA", dir.path().toLocal8Bit());
        app.Settings().ProgramFolder = dir.path();
        app.Settings().CreateDataFolder();
        app.Settings().LogFile = dir.filePath("log.txt");
        app.Jobs().SetupJobGrid();
    }

    // Appends a record and its grid row; gives the row.
    int32_t AddJob(const JobRecord &job)
    {
        const int32_t i = app.Jobs().AppendRecord(job);
        const int32_t row = app.LG().AddItem();
        app.Jobs().RecordToRow(row, i);
        return row;
    }

    QStringList LogLines() { return FileLines(app.Settings().LogFile); }

    ScopedEnvironment env;
    QTemporaryDir dir;
    AppCore app;
};
