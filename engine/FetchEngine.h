#pragma once

#include "engine/FetchContext.h"
#include "engine/RunView.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class DownloadOutcomes;
class DownloadSlots;
class JobExpander;
class PostProcessor;
class RunControl;

// The fetch engine's front door: Run/Stop, the run's counters and outcome,
// the downloads in flight, the slot count and the row post-processing. Its
// parts (queue, slots, outcome handlers, expansion, post-processing, run
// control) stay behind it.
//
// What may happen while a run is going. A run is one long handler that lets
// the event loop turn at its waiting points; it reads each checked row by
// position when it reaches it and shares one download queue with
// post-processing. So, during a run:
// - allowed: editing cells, ticking check boxes, and copying a job (the copy
//   is appended after the rows the run was started with);
// - refused: removing or reordering rows, replacing the job list, and
//   post-processing a row by hand (it would rebuild the shared queue).
// The refused actions answer false here (or in the application state that
// owns them), and the window disables them for the length of the run.
class FetchEngine {
public:
    FetchEngine(AppSettings &settings, GridStore &grid, JobTable &jobs, RunLog &log);
    ~FetchEngine();
    FetchEngine(const FetchEngine &) = delete;
    FetchEngine &operator=(const FetchEngine &) = delete;

    // Where bars, captions and messages go; nullptr shows nothing.
    void SetView(RunView *view);

    // The click of the Run/Stop button: starts a run, or asks the running
    // one to stop. Returns when the run it started has ended.
    void RunClick();
    // Asks a running run to stop; nothing when idle.
    void Stop();
    bool IsRunning() const;
    // Whether rows may be removed, reordered or replaced, or a row be
    // post-processed by hand: only while no run is going.
    bool AllowsRowChanges() const;

    const RunState &Counters() const;
    // What the last run ended with: the summary shown ("Completed ..."),
    // whether Stop was asked for, the failure shown as "Unexpected event: ".
    QString LastSummary() const;
    bool LastRunStopped() const;
    QString LastFailure() const;
    // The summary for the counters as they stand, after elapsedMs.
    QString CompletedText(int64_t elapsedMs) const;

    // The downloads in flight on any of the nine slots, lowest slot first.
    struct BusyDownload {
        int Slot;
        QString Url;
    };
    std::vector<BusyDownload> BusyDownloads() const;
    // The run's files, bytes, speed and time left, and each busy download's
    // bytes, speed and share, as they stand now.
    RunFigures Figures() const;
    // Cancels every download in flight, whatever the slot count (the
    // program is ending, or the user gave them up).
    void GiveUpAll();

    // The number of concurrent downloads (NumDLs), 1 to 9.
    void SetSlotCount(int32_t n);
    // How long a job waits for its last downloads; ten seconds unless a
    // test shortens it.
    void SetEndWaitBudget(int ms);

    // Post-processes the job of a row now (the row action). Refused, and
    // false, while a run is going.
    bool PostProcessRow(int32_t row);

private:
    friend struct FetchEngineProbe; // tests of the parts reach them through it

    FetchContext context;
    std::unique_ptr<DownloadSlots> slots;
    std::unique_ptr<JobExpander> expander;
    std::unique_ptr<DownloadOutcomes> outcomes;
    std::unique_ptr<PostProcessor> postProcessor;
    std::unique_ptr<RunControl> control;
    RunView silentView;
};
