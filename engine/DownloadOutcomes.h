#pragma once

#include <QString>
#include <cstdint>

class DownloadedBody;
class FileDL;
class DownloadSlots;
struct FetchContext;

// The answers to the nine FileDL instances' events: progress drives the slot
// bar and cancels redirected downloads, a failure is counted and logged, a
// completion becomes the target file and updates the counters, the overall
// bar and the log.
class DownloadOutcomes {
public:
    DownloadOutcomes(FetchContext &context, DownloadSlots &downloadSlots);

    void DownloadProgress(int index, const QString &Key, qint64 Progress, qint64 ProgressMax, int32_t StatusNumber,
        const QString &StatusText);
    void DownloadError(int index, const QString &Key, int32_t Code, const QString &Description);
    void DownloadComplete(int index, const QString &Key, const DownloadedBody &byteArray, int32_t Code);

    // Progress as a rounded percentage; 0 when the size is unknown.
    static int32_t Percentage(qint64 part, qint64 whole);

private:
    // With the sequence end on: whether the answer of the download on a
    // slot counts as missing; and what a missing one does to its sequence.
    bool AnswerIsMissing(const FileDL &download) const;
    void NoteMissing(const FileDL &download);
    void SaveCompletedDownload(int index, const DownloadedBody &body);
    // With retries or pacing on: a 429 or 503 answer's Retry-After holds
    // its host; a transient failure with retries left waits for its next
    // attempt (true) instead of being the item's outcome.
    void HoldHostAfter(const FileDL &download);
    bool TriesAgain(FileDL &download, const QString &reason);

    FetchContext &context;
    DownloadSlots &downloadSlots;
};
