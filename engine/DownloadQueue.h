#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class RunLog;

struct QueueItem {
    QString Url;
    QString TargetPath; // resolved output folder + prefix + file name from the URL
    QString FileName;   // prefix + file name from the URL
    bool Started = false;
    bool Done = false;
};

// The URLs of the job being downloaded, numbered from 1 in generation order.
// Items are never removed or changed while the queue lives.
class DownloadQueue {
public:
    int32_t QueueCount() const;
    // Item k (1..QueueCount); SubscriptError outside.
    QueueItem &Item(int32_t k);
    bool HasItem(int32_t k) const;
    void Clear();
    // Appends the item for url and logs "url > prefix+name".
    void AddQueueItem(const QString &url, const QString &prefix, const QString &folder, const RunLog &log);

    // The last component of a URL: after the last "/", else after the last
    // "\", else the whole URL. A query string stays part of it.
    static QString FileNameOfUrl(const QString &url);

private:
    std::vector<QueueItem> items;
};
