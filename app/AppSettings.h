#pragma once

#include "app/AppOptions.h"

#include <QString>
#include <cstdint>

// The product's name as the window and the messages show it.
QString ProductName();

// The application-wide values every part reads: the per-user data folder,
// the program folder, and the four global settings the job list file stores.
struct AppSettings {
    QString DataFolder;
    QString ProgramFolder;
    QString Separator;
    QString LogFile;
    bool ResetLog = false;
    int32_t NumDLs = 0;
    // The options beyond the job list file's settings (off by default).
    AppOptions Options;

    // Fixes the data folder and creates it with any missing parent (a failure is ignored
    // and shows later, when something is written into it).
    void CreateDataFolder();
    // The log file used when LogFile is empty.
    QString DefaultLogFilePath() const;
};
