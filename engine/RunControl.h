#pragma once

#include <QString>
#include <cstdint>

class DownloadSlots;
class JobExpander;
class PostProcessor;
struct FetchContext;

// The Run/Stop button: a run counts the URLs of every checked job, then
// expands, downloads and post-processes the jobs one after another, and ends
// with the summary on the overall bar. A click during a run only asks it to
// stop; the run notices at its next check.
class RunControl {
public:
    RunControl(
        FetchContext &context, DownloadSlots &downloadSlots, JobExpander &expander, PostProcessor &postProcessor);

    // The click of cmdRun.
    void RunClick();
    bool IsRunning() const;

    // What the last run ended with: the summary shown ("Completed ..."),
    // whether Stop was asked for, and the failure shown as "Unexpected event: ".
    QString LastSummary() const;
    bool LastRunStopped() const;
    QString LastFailure() const;
    // The summary line for the counters as they stand now, after elapsedMs:
    // "Completed N Files (K KB) in S Secs.".
    QString CompletedText(int64_t elapsedMs) const;

private:
    void StartRun();
    void RequestStop();
    void RunJobs();

    FetchContext &context;
    DownloadSlots &downloadSlots;
    JobExpander &expander;
    PostProcessor &postProcessor;
    bool inRun = false;
    bool stopRequested = false;
    QString lastSummary;
    QString lastFailure;
};
