#pragma once

#include "app/RowJob.h"

#include <QString>
#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

struct QueueItem {
    QString Url;
    QString TargetPath; // resolved output folder + prefix + file name from the URL
    QString FileName;   // prefix + file name from the URL
    bool Started = false;
    bool Done = false;
};

// The URLs of the job being downloaded, numbered from 1 in generation order.
// The queue keeps the job, not its items: item k is worked out from the
// template, the prefix, the folder and the sequences whenever it is asked
// for, so a job of any length costs the same memory. Only the items that
// have started carry state.
class DownloadQueue {
public:
    int32_t QueueCount() const;
    // Item k (1..QueueCount); SubscriptError outside.
    QueueItem Item(int32_t k) const;
    bool HasItem(int32_t k) const;
    void Clear();
    // The job's items: none, one or two sequences substituted into url and
    // prefix, the second varying fastest. Throws OverflowError when they
    // number more than a 32-bit count.
    void SetJob(int sequences, const QString &url, const QString &prefix, const QString &folder,
        const JobSequence &first, const JobSequence &second);

    // How the items group: the sequences the job uses (0, 1 or 2), and
    // how many items one value of the first sequence has (all of them with
    // one sequence or none).
    int Sequences() const { return sequences; }
    int64_t ItemsPerOuterValue() const { return sequences == 2 ? second.Count() : count; }

    void MarkStarted(int32_t k);
    void MarkDone(int32_t k);

    // The run-log line of an item: "url > prefix+name".
    static QString LogLine(const QueueItem &item);
    // The last component of a URL: after the last "/", else after the last
    // "\", else the whole URL. A query string stays part of it.
    static QString FileNameOfUrl(const QString &url);

private:
    // Marks by item number, in pages of 64 Ki items made when one of their
    // items is first marked: items handed out in order fill pages one by
    // one, and a stray mark far out costs one page.
    class ItemMarks {
    public:
        void Mark(int32_t k);
        bool IsMarked(int32_t k) const;

    private:
        static constexpr size_t PageItems = size_t(1) << 16;
        std::vector<std::unique_ptr<std::bitset<PageItems>>> pages;
    };

    int sequences = 0;
    QString url;
    QString prefix;
    QString folder;
    JobSequence first;
    JobSequence second;
    int32_t count = 0;
    ItemMarks started;
    ItemMarks done;
};
