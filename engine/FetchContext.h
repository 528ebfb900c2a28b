#pragma once

#include "engine/DownloadQueue.h"
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

    // A new run log object on the LogFile setting; an empty setting first
    // becomes the data folder's default log file, and keeps that value.
    void StartRunLog();
};
