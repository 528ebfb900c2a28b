// Fuzzes the job list parser with whole files, and checks the round trip:
// what a load gives, saved and loaded again, gives the same settings and
// jobs.
#include "app/AppSettings.h"
#include "app/JobListFile.h"
#include "app/JobTable.h"
#include "controls/grid/GridStore.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

QString WorkFile(const char *name)
{
    return QStringLiteral("/tmp/tavrin-fuzz-%1-%2").arg(getpid()).arg(QLatin1String(name));
}

void Write(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
}

struct Loaded {
    GridStore grid;
    JobTable jobs{grid};
    AppSettings settings;
    QString message;

    explicit Loaded(const QString &path) { message = JobListFile::LoadJobList(path, settings, jobs); }
};

bool SameSettings(const AppSettings &a, const AppSettings &b)
{
    return a.Separator == b.Separator && a.LogFile == b.LogFile && a.ResetLog == b.ResetLog && a.NumDLs == b.NumDLs;
}

// The records a save writes: every one not deleted, in order.
std::vector<QStringList> SavedRecords(const JobTable &jobs)
{
    std::vector<QStringList> records;
    for (int32_t i = 1; i <= jobs.JobCount(); ++i) {
        const JobRecord &record = jobs.Record(i);
        if (record.Deleted)
            continue;
        QStringList fields;
        for (int f = 0; f < JobRecord::FieldCount; ++f)
            fields << record.Field(f);
        records.push_back(fields);
    }
    return records;
}

// What differs, for the one who reads the finding.
void Report(const Loaded &first, const Loaded &second, const std::vector<QStringList> &before,
    const std::vector<QStringList> &after)
{
    const auto quoted = [](const QString &text) { return QString::fromLatin1(text.toUtf8().toPercentEncoding(" ")); };
    std::fprintf(stderr, "message: %s\nseparator: %s | %s\nlog file: %s | %s\nreset: %d | %d\nslots: %d | %d\n",
        qPrintable(second.message), qPrintable(quoted(first.settings.Separator)),
        qPrintable(quoted(second.settings.Separator)), qPrintable(quoted(first.settings.LogFile)),
        qPrintable(quoted(second.settings.LogFile)), first.settings.ResetLog, second.settings.ResetLog,
        first.settings.NumDLs, second.settings.NumDLs);
    std::fprintf(stderr, "jobs: %zu | %zu\n", before.size(), after.size());
    for (size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (before[i] != after[i])
            std::fprintf(stderr, "job %zu:\n  %s\n  %s\n", i + 1, qPrintable(quoted(before[i].join(QLatin1Char('|')))),
                qPrintable(quoted(after[i].join(QLatin1Char('|')))));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = WorkFile("in.txt"), saved = WorkFile("saved.txt");
    Write(input, data, size);
    Loaded first(input);
    if (!first.message.isEmpty())
        return 0;
    // A save fixes an empty separator; what it wrote is what must come back.
    if (!JobListFile::SaveJobList(saved, first.settings, first.jobs))
        std::abort();
    // Jobs are read from line 3 on, so a LogFile value that holds the
    // separator as saved comes back as a job too: the format's own limit.
    if (first.settings.LogFile.contains(first.settings.Separator))
        return 0;
    Loaded second(saved);
    const std::vector<QStringList> before = SavedRecords(first.jobs), after = SavedRecords(second.jobs);
    if (!second.message.isEmpty() || !SameSettings(first.settings, second.settings) || before != after) {
        Report(first, second, before, after);
        std::abort();
    }
    return 0;
}
