#pragma once

#include <QString>
#include <cstdint>

struct FetchContext;

// Turns one job row into its URLs: resolves the output folder, reads the
// sequences, and either counts the URLs or makes them the download queue and
// logs them.
class JobExpander {
public:
    // How often the logging of a long queue lets the event loop turn.
    static constexpr int StepMs = 20;

    explicit JobExpander(FetchContext &context);

    // Empties the queue, then counts (countOnly) or queues and logs the
    // row's URLs. Throws OverflowError when a bound, or the count, leaves
    // the 32-bit range. A run that is stopped while the queue is logged ends
    // the logging there.
    void ExpandJob(int32_t row, bool countOnly);

    // How many of "#1#" and "#2#" a template uses: "#1#" must stand after
    // the first character, and "#2#" counts only with "#1#".
    static int SequencesUsed(const QString &url);

private:
    void CountUrls(int64_t count);
    void LogQueue();

    FetchContext &context;
};
