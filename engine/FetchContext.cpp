#include "engine/FetchContext.h"

#include "app/AppSettings.h"
#include "log/RunLog.h"

void FetchContext::StartRunLog()
{
    if (Settings.LogFile.isEmpty())
        Settings.LogFile = Settings.DefaultLogFilePath();
    Log.StartRunLog(Settings.LogFile);
}
