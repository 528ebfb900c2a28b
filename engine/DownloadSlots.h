#pragma once

#include "engine/FileDL.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

struct FetchContext;

// The nine download slots: FileDL(i) with slot bar i. Slots 0 to NumDLs - 1
// take work; the queue is handed out in order to the lowest idle slot. All
// waiting is an event-loop wait, so downloads report and the Stop click
// arrives while the run waits.
class DownloadSlots {
public:
    static constexpr int SlotCount = 9;
    static constexpr int PollInterval = 100; // ms

    explicit DownloadSlots(FetchContext &context);
    ~DownloadSlots();

    FileDL &Instance(int index);
    const FileDL &Instance(int index) const;

    // Sets NumDLs and clears the nine slot bars.
    void SetSlotCount(int32_t n);

    // The lowest idle slot, or -1 when the run was stopped while waiting.
    int FindFreeSlot();
    // Downloads every queued item; returns when all are started and have
    // ended (or the end wait ran out), or at once after cancelling
    // everything when the run is stopped.
    void RunQueue();
    // Waits until no slot is busy, at most the end-wait budget.
    void WaitAllIdle();
    // Cancels the busy slots below NumDLs.
    void CancelAll();
    // Cancels every busy slot, also those above a lowered NumDLs.
    void CancelEverySlot();
    // A sequence of the queue ended: the downloads in flight of the items
    // after its end are cancelled (their spool files go with them).
    void CancelAfterSequenceEnd();
    // Whether a download fetches an item of the current queue (one that
    // outlived its job's end wait fetches an item of an earlier queue).
    bool FetchesQueuedItem(const FileDL &download) const;
    // A slot became idle: the current Pause ends after this pass of the
    // event loop.
    void WakePause();
    void SetEndWaitBudget(int ms);

private:
    int BusySlotBelowCount();
    // Starts the queue's items from next on, and the retries as they come
    // due, until every item has started and no retry waits (or the run
    // stopped); gives the item after the last one handed out.
    int64_t StartRequests(int64_t next);
    // The first item from k on that a sequence's end does not leave out;
    // the items skipped are counted.
    int64_t RequestFrom(int64_t k);
    void CancelSlot(int slot);
    // With "skip files that already exist" on: item k's target is there, and
    // the item has been counted as scanned instead of requested.
    bool SkipsExisting(int64_t k);
    // Waits until a retry is due, or the run stops.
    void WaitForRetry();
    // Waits until a request to item k's host may start; false when the run
    // stopped meanwhile.
    bool WaitForHost(int32_t k);
    void Start(int slot, int32_t k, std::unique_ptr<DownloadedBody> partial = nullptr);
    // Lets pending events run, then waits up to ms, returning early as soon
    // as a download ends (at once when one ended since wakeUpsSeen). With
    // Shift held it only processes events.
    void Pause(int ms, uint64_t wakeUpsSeen);

    FetchContext &context;
    int endWaitBudget = 10000; // ms
    std::array<std::unique_ptr<FileDL>, SlotCount> instances;
    uint64_t wakeUps = 0; // slots that became idle so far
};
