#pragma once

#include "log/MELogFile.h"

#include <QString>
#include <memory>

struct AppSettings;

// The window's one run log object: none until the first run, replaced when
// a fresh log is asked for.
class RunLog {
public:
    bool Exists() const;
    MELogFile *Object() const;

    // Releases the current log object (its closing line is written), then
    // starts a new one on the LogFile setting, which gets the data folder's
    // default log file when it is empty. Throws LogOpenError.
    void StartRunLog(AppSettings &settings);

    // Appends a line; without a log object the line goes nowhere.
    void AddLogLine(const QString &line) const;
    void FlushLog() const;
    // Drops the log object without its closing line (the process is ending).
    void Abandon();

private:
    std::unique_ptr<MELogFile> log;
};
