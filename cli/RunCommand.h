#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The options given on the command line for one run, in place of the saved
// ones; and how the run shows its progress.
struct RunOverrides {
    std::optional<int32_t> UntilMissing;
    // Plain progress lines, once a second, whether or not on a terminal.
    bool ProgressLines = false;
    std::optional<int32_t> SkipExisting;
    std::optional<int32_t> Retries;
    std::optional<int32_t> WaitMs;
};

// "tavrin --run": start-up as the window does, then one run of every checked
// job; the summary goes to standard output. Gives the exit status: 0 every
// counted URL saved, 1 any not saved (failed, redirected, stopped, a job
// skipped for its folder), 2 the list could not be loaded, 3 the run ended
// with "Unexpected event: ". A positive maxTimeSeconds bounds the whole run:
// when it is up, the run stops as by Ctrl+C. Missing files (with the
// sequence end on) count as neither saved nor failed.
int RunJobsWithoutWindow(const QString &listFile, double maxTimeSeconds = 0, const RunOverrides &overrides = {});
