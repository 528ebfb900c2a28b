#include "log/RunLog.h"

#include "app/AppSettings.h"

bool RunLog::Exists() const
{
    return log != nullptr;
}

MELogFile *RunLog::Object() const
{
    return log.get();
}

void RunLog::StartRunLog(AppSettings &settings)
{
    log.reset();
    log = std::make_unique<MELogFile>();
    if (settings.LogFile.isEmpty())
        settings.LogFile = settings.DefaultLogFilePath();
    log->SetFileName(settings.LogFile);
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

void RunLog::Abandon()
{
    log.release();
}
