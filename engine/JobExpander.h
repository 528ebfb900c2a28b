#pragma once

#include <cstdint>

struct FetchContext;
struct RowJob;

// Turns the job of a row into its URLs: either counts them or makes them the
// download queue and logs them.
class JobExpander {
public:
    // How often the logging of a long queue lets the event loop turn.
    static constexpr int StepMs = 20;

    explicit JobExpander(FetchContext &context);

    // Empties the queue, then counts (countOnly) or queues and logs the
    // job's URLs; a job whose resolved folder is empty is logged as
    // unusable instead. Throws OverflowError when a bound, or the count,
    // leaves the 32-bit range. A run that is stopped while the queue is
    // logged ends the logging there.
    void ExpandJob(const RowJob &job, bool countOnly);

private:
    void CountUrls(int64_t count);
    void LogQueue();

    FetchContext &context;
};
