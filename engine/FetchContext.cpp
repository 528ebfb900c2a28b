#include "engine/FetchContext.h"

#include "app/AppSettings.h"
#include "engine/DownloadOutcomes.h"
#include "engine/RunView.h"
#include "log/RunLog.h"

#include <algorithm>

void FetchContext::StartRunLog()
{
    if (Settings.LogFile.isEmpty())
        Settings.LogFile = Settings.DefaultLogFilePath();
    Log.StartRunLog(Settings.LogFile);
}

// The overall bar may see completions that belong to an earlier run (or none
// counted yet): it stays within 0..100 whatever the counters say.
void FetchContext::ShowOverallPercentage()
{
    const int32_t percent = DownloadOutcomes::Percentage(Run.ScannedCount, Run.TotalCount);
    View->SetOverallValue(std::clamp(percent, 0, 100));
}

void FetchContext::ShowScanned()
{
    ShowOverallPercentage();
    View->SetOverallText(QStringLiteral("Found %1, Scanned %2 out of %3 Files.")
                             .arg(Run.FoundCount)
                             .arg(Run.ScannedCount)
                             .arg(Run.TotalCount));
}
