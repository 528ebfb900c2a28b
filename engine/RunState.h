#pragma once

#include <cstdint>

// The state of a run shared by the engine's parts. Only the Stop click
// changes Running from outside; the counters are changed by the download
// outcomes and the counting pass.
struct RunState {
    bool Running = false;
    int32_t TotalCount = 0;   // URLs counted before downloading starts
    int32_t ScannedCount = 0; // downloads ended, saved or failed
    int32_t FoundCount = 0;   // downloads saved
    int32_t TotalKB = 0;      // kilobytes saved, rounded per file
    int32_t SkippedJobs = 0;  // checked jobs whose output folder was unusable
    // With "stop a sequence after N missing files" on: the answers that
    // counted as missing, and the items left out after a sequence ended
    // (never requested, or cancelled in flight).
    int32_t MissingCount = 0;
    int32_t LeftAfterEnd = 0;
    // With "skip files that already exist" on: the items not requested
    // because their target was there (scanned, and as good as saved).
    int32_t ExistingCount = 0;
};
