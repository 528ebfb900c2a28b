#pragma once

#include "log/MELogFile.h"

#include <QString>
#include <memory>

// The window's one run log object: none until the first run, replaced when
// a fresh log is asked for.
class RunLog {
public:
    bool Exists() const;
    MELogFile *Object() const;

    // Releases the current log object (its closing line is written), then
    // starts a new one on fileName. Throws LogOpenError.
    void StartRunLog(const QString &fileName);

    // Appends a line; without a log object the line goes nowhere.
    void AddLogLine(const QString &line) const;
    void FlushLog() const;
    // See MELogFile::HoldLines.
    void HoldLines(bool hold) const;
    void WriteHeldLines() const;

private:
    std::unique_ptr<MELogFile> log;
};

// Holds the run log's lines for as long as it lives; whichever way its scope
// ends, what was held goes to disk (unless an outer hold still stands).
class HeldLogLines {
public:
    explicit HeldLogLines(const RunLog &runLog) : log(runLog) { log.HoldLines(true); }
    ~HeldLogLines() { log.HoldLines(false); }
    HeldLogLines(const HeldLogLines &) = delete;
    HeldLogLines &operator=(const HeldLogLines &) = delete;

private:
    const RunLog &log;
};
