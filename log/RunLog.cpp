#include "log/RunLog.h"

bool RunLog::Exists() const
{
    return log != nullptr;
}

MELogFile *RunLog::Object() const
{
    return log.get();
}

void RunLog::StartRunLog(const QString &fileName)
{
    log.reset();
    log = std::make_unique<MELogFile>();
    log->SetFileName(fileName);
    log->StartLog();
}

void RunLog::AddLogLine(const QString &line) const
{
    if (log)
        log->AddLogLine(line);
}

void RunLog::FlushLog() const
{
    if (log)
        log->FlushLog();
}

void RunLog::HoldLines(bool hold) const
{
    if (log)
        log->HoldLines(hold);
}

void RunLog::WriteHeldLines() const
{
    if (log)
        log->WriteHeldLines();
}
