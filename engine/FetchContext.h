#pragma once

#include "engine/DownloadQueue.h"
#include "engine/HostPacing.h"
#include "engine/RetrySchedule.h"
#include "engine/RunState.h"
#include "engine/RunThroughput.h"
#include "engine/SequenceEnd.h"

struct AppSettings;
class JobTable;
class GridStore;
class RunLog;
class RunView;

// What the engine's parts share: the application's settings, job grid, job
// records and run log, the view, the run state and the download queue.
struct FetchContext {
    AppSettings &Settings;
    GridStore &LG;
    JobTable &Jobs;
    RunLog &Log;
    RunView *View;
    RunState Run;
    DownloadQueue Queue;
    // Where the sequences of the queue's job end, as the answers show.
    SequenceEnd EndOfSequence;
    // The bytes and the speed of the run and of each download.
    RunThroughput Throughput;
    // The queue's items waiting to be tried again, and when each host may
    // get its next request.
    RetrySchedule Retries;
    HostPacing Pacing;

    // A new run log object on the LogFile setting; an empty setting first
    // becomes the data folder's default log file, and keeps that value.
    void StartRunLog();
    // The overall bar's percentage of the URLs scanned; with the status
    // text "Found F, Scanned S out of T Files." as well.
    void ShowOverallPercentage();
    void ShowScanned();
};
