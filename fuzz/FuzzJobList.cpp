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

#include <cstdint>
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
    Loaded second(saved);
    if (!second.message.isEmpty() || !SameSettings(first.settings, second.settings)
        || SavedRecords(first.jobs) != SavedRecords(second.jobs)) {
        std::abort();
    }
    return 0;
}
