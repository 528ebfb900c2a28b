// Event-loop responsiveness of a run. A run is one long handler that lets
// pending events run at its waiting points; this program checks from inside
// the process that those points come often enough and that waiting costs no
// CPU:
//
//   - a 10 ms timer records the largest gap between its ticks while AppCore
//     runs a job (many small files, one large file, a few slow files);
//   - while the run only waits for downloads that trickle in slowly, the
//     process's CPU time (getrusage) over a window of several seconds shows
//     that nothing polls.
//
// Usage: tavrin_bench_responsiveness BASE_URL WORK_FOLDER [SMALL_COUNT [SLOW_COUNT]]
// BASE_URL serves a/f0001.bin ... (SMALL_COUNT files, default 2000),
// b/big.bin, and slow/s1.bin ... (SLOW_COUNT files, default 3, sent slowly).
// bench/fetch/run.sh starts such a server and calls this program.
#include "startup/AppCore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int TickMs = 10;
constexpr qint64 GapTargetMs = 100;
// The CPU window of the slow run: from when the downloads are under way to
// well before the first one can end.
constexpr int QuietWindowStartMs = 1000;
constexpr int QuietWindowEndMs = 6000;

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Records the time between the ticks of a 10 ms timer. A gap much longer
// than 10 ms is time in which the event loop did not run.
class TickRecorder {
public:
    TickRecorder()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(TickMs);
        QObject::connect(&timer, &QTimer::timeout, [this] { Tick(); });
    }

    void Start()
    {
        gapsNs.clear();
        clock.start();
        lastNs = 0;
        timer.start();
    }

    // The time from the last tick to the end of the run counts as a gap too.
    void Stop()
    {
        Tick();
        timer.stop();
    }

    qint64 MaxGapNs() const { return gapsNs.empty() ? 0 : *std::max_element(gapsNs.begin(), gapsNs.end()); }
    qint64 MaxGapAtNs() const { return maxGapAtNs; }
    size_t Ticks() const { return gapsNs.size(); }

    qint64 PercentileNs(double p) const
    {
        if (gapsNs.empty())
            return 0;
        std::vector<qint64> sorted = gapsNs;
        std::sort(sorted.begin(), sorted.end());
        const size_t at = std::min(sorted.size() - 1, size_t(p / 100.0 * double(sorted.size())));
        return sorted[at];
    }

    size_t GapsOver(qint64 ms) const
    {
        return size_t(std::count_if(gapsNs.begin(), gapsNs.end(), [ms](qint64 gap) { return gap > ms * 1000000; }));
    }

private:
    void Tick()
    {
        const qint64 now = clock.nsecsElapsed();
        const qint64 gap = now - lastNs;
        if (gapsNs.empty() || gap > MaxGapNs())
            maxGapAtNs = lastNs;
        gapsNs.push_back(gap);
        lastNs = now;
    }

    QTimer timer;
    QElapsedTimer clock;
    qint64 lastNs = 0;
    qint64 maxGapAtNs = 0;
    std::vector<qint64> gapsNs;
};

struct ProbeJob {
    const char *name;
    QString url;
    int upper;
    QString format;
    int numDLs;
    bool ticker;
};

struct RunResult {
    bool ok = false;
    QString summary;
    double wallS = 0;
    double cpuS = 0;
    double windowCpuS = -1;
    double windowWallS = 0;
};

// One job run as the Run button does it, on a fresh AppCore.
RunResult RunJob(const ProbeJob &probe, const QString &workFolder, TickRecorder &ticks)
{
    const QString output = QDir(workFolder).filePath(QStringLiteral("out-%1").arg(probe.name));
    QDir(output).removeRecursively();
    QDir().mkpath(output);

    AppCore app;
    app.Settings().CreateDataFolder();
    app.Settings().Separator = QStringLiteral("|");
    app.Settings().LogFile = QDir(workFolder).filePath(QStringLiteral("probe-log.txt"));
    app.Jobs().SetupJobGrid();
    JobRecord job;
    job.Get = QStringLiteral("1");
    job.Category = QStringLiteral("Probe");
    job.Url = probe.url;
    job.L1 = QStringLiteral("1");
    job.U1 = QString::number(probe.upper);
    job.Format1 = probe.format;
    job.Output = output;
    app.Jobs().AppendRecord(job);
    app.Settings().NumDLs = probe.numDLs;
    app.FillGrid();

    // The CPU window: two single-shot timers that fire inside the run's
    // nested waits. They belong to this run: a shorter run stops them.
    RunResult result;
    double windowCpuStart = 0;
    QElapsedTimer windowClock;
    QTimer windowStart;
    QTimer windowEnd;
    windowStart.setSingleShot(true);
    windowEnd.setSingleShot(true);
    QObject::connect(&windowStart, &QTimer::timeout, [&] {
        windowCpuStart = CpuSeconds();
        windowClock.start();
    });
    QObject::connect(&windowEnd, &QTimer::timeout, [&] {
        if (windowClock.isValid()) {
            result.windowCpuS = CpuSeconds() - windowCpuStart;
            result.windowWallS = double(windowClock.nsecsElapsed()) / 1e9;
        }
    });
    windowStart.start(QuietWindowStartMs);
    windowEnd.start(QuietWindowEndMs);

    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    if (probe.ticker)
        ticks.Start();
    app.Engine().RunClick();
    if (probe.ticker)
        ticks.Stop();
    result.wallS = double(wall.nsecsElapsed()) / 1e9;
    result.cpuS = CpuSeconds() - cpuStart;
    // A run shorter than the window has none.
    if (windowEnd.isActive())
        result.windowCpuS = -1;

    const RunState &run = app.Engine().Counters();
    result.summary = app.Engine().LastSummary();
    result.ok =
        app.Engine().LastFailure().isEmpty() && run.TotalCount == probe.upper && run.FoundCount == run.TotalCount;
    QDir(output).removeRecursively();
    // Let deferred deletions (socket notifiers) run before the next run.
    QCoreApplication::processEvents();
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "Usage: %s BASE_URL WORK_FOLDER [SMALL_COUNT [SLOW_COUNT]]\n", argv[0]);
        return 2;
    }
    QString base = args.at(1);
    if (!base.endsWith(u'/'))
        base += u'/';
    const QString work = args.at(2);
    const int smallCount = args.size() > 3 ? args.at(3).toInt() : 2000;
    const int slowCount = args.size() > 4 ? args.at(4).toInt() : 3;

    const std::vector<ProbeJob> probes = {
        {"small", base + QStringLiteral("a/f#1#.bin"), smallCount, QStringLiteral("0000"), 9, true},
        {"big", base + QStringLiteral("b/big.bin"), 1, QString(), 1, true},
        {"slow", base + QStringLiteral("slow/s#1#.bin"), slowCount, QString(), slowCount, true},
        {"slow-quiet", base + QStringLiteral("slow/s#1#.bin"), slowCount, QString(), slowCount, false},
    };

    std::printf("%-11s %7s %7s %7s %8s %8s %6s %6s  %s\n", "run", "wall s", "cpu s", "ticks", "p99 ms", "max ms", "@ s",
        ">50ms", "CPU in quiet window");
    bool allOk = true;
    qint64 worstGapNs = 0;
    double quietShare = -1;
    for (const ProbeJob &probe : probes) {
        TickRecorder ticks;
        const RunResult result = RunJob(probe, work, ticks);
        allOk = allOk && result.ok;
        QString window = QStringLiteral("-");
        if (result.windowCpuS >= 0) {
            const double share = result.windowCpuS / result.windowWallS;
            window = QStringLiteral("%1 ms in %2 s (%3 % of a core)")
                         .arg(result.windowCpuS * 1000, 0, 'f', 1)
                         .arg(result.windowWallS, 0, 'f', 2)
                         .arg(share * 100, 0, 'f', 2);
            if (!probe.ticker)
                quietShare = share;
        }
        if (probe.ticker) {
            worstGapNs = std::max(worstGapNs, ticks.MaxGapNs());
            std::printf("%-11s %7.2f %7.2f %7zu %8.1f %8.1f %6.2f %6zu  %s\n", probe.name, result.wallS, result.cpuS,
                ticks.Ticks(), double(ticks.PercentileNs(99)) / 1e6, double(ticks.MaxGapNs()) / 1e6,
                double(ticks.MaxGapAtNs()) / 1e9, ticks.GapsOver(50), qPrintable(window));
        } else {
            std::printf("%-11s %7.2f %7.2f %7s %8s %8s %6s %6s  %s\n", probe.name, result.wallS, result.cpuS, "-", "-",
                "-", "-", "-", qPrintable(window));
        }
        if (!result.ok)
            std::printf("  FAILED: %s\n", qPrintable(result.summary));
        std::fflush(stdout);
    }
    std::printf("largest gap between 10 ms ticks: %.1f ms (target: at most about %lld ms): %s\n",
        double(worstGapNs) / 1e6, GapTargetMs, worstGapNs <= GapTargetMs * 1000000 ? "met" : "MISSED");
    if (quietShare >= 0)
        std::printf("CPU while only waiting for slow downloads: %.2f %% of a core\n", quietShare * 100);
    return allOk ? 0 : 1;
}
