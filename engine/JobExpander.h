#pragma once

#include <QString>
#include <cstdint>

struct FetchContext;

// Turns one job row into its URLs: resolves the output folder, substitutes
// the sequence numbers into the URL template and the prefix, and either
// counts the URLs or queues them.
class JobExpander {
public:
    explicit JobExpander(FetchContext &context);

    // Empties the queue, then counts (countOnly) or queues the row's URLs.
    // Throws OverflowError when a bound, or the count, leaves the 32-bit range.
    void ExpandJob(int32_t row, bool countOnly);

    // How many of "#1#" and "#2#" a template uses: "#1#" must stand after
    // the first character, and "#2#" counts only with "#1#".
    static int SequencesUsed(const QString &url);

private:
    struct Sequence {
        int32_t lower;
        int32_t upper;
        QString picture;
        int64_t Count() const { return upper < lower ? 0 : int64_t(upper) - lower + 1; }
    };

    void CountUrls(int sequences, const Sequence &first, const Sequence &second);
    void QueueUrls(int sequences, const Sequence &first, const Sequence &second, const QString &url,
                   const QString &prefix, const QString &folder);

    FetchContext &context;
};
