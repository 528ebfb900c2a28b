// Loading a job list into the grid, searching it and saving it, for 10,000
// and 100,000 jobs: the times should grow linearly with the number of jobs.
#include "app/JobListFile.h"
#include "startup/AppCore.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

JobRecord BenchJob(int n)
{
    JobRecord job;
    job.Get = n % 3 ? "1" : "0";
    job.Category = QStringLiteral("Category %1").arg(n % 17);
    job.Url = QStringLiteral("http://example.invalid/gallery/%1/img#1#_#2#.jpg").arg(n);
    job.L1 = "1";
    job.U1 = "40";
    job.Format1 = "00";
    job.L2 = "1";
    job.U2 = "5";
    job.Format2 = "000";
    job.Prefix = QStringLiteral("g%1_").arg(n);
    job.Output = QStringLiteral("%TEMP%\\Tavrin\\gallery %1").arg(n);
    job.LastDate = "2026-12-05";
    if (n % 4 == 0) {
        job.RunPP = "1";
        job.CmdPP = "convert #FILEPATH# #OUT#\\#FILENAME#.png";
    }
    return job;
}

QString WriteList(const QTemporaryDir &dir, int jobs)
{
    AppCore app;
    app.Settings().Separator = "|";
    app.Settings().NumDLs = 3;
    for (int n = 1; n <= jobs; ++n)
        app.Jobs().AppendRecord(BenchJob(n));
    const QString path = dir.filePath(QStringLiteral("jobs-%1.txt").arg(jobs));
    JobListFile::SaveJobList(path, app.Settings(), app.Jobs());
    return path;
}

void LoadAndFill(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = WriteList(dir, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        AppCore app;
        app.Jobs().SetupJobGrid();
        app.LoadList(path);
        app.FillGrid();
        benchmark::DoNotOptimize(app.LG().ItemCount());
    }
    state.SetComplexityN(state.range(0));
}

void Save(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = WriteList(dir, static_cast<int>(state.range(0)));
    AppCore app;
    app.LoadList(path);
    const QString target = dir.filePath("saved.txt");
    for (auto _ : state)
        benchmark::DoNotOptimize(JobListFile::SaveJobList(target, app.Settings(), app.Jobs()));
    state.SetComplexityN(state.range(0));
}

// A search that matches nothing: two passes over every row's Category, Url
// and Output.
void FindJobRow(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = WriteList(dir, static_cast<int>(state.range(0)));
    AppCore app;
    app.Jobs().SetupJobGrid();
    app.LoadList(path);
    app.FillGrid();
    for (auto _ : state)
        benchmark::DoNotOptimize(app.Jobs().FindJobRow(QStringLiteral("Nowhere"), 5));
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(LoadAndFill)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(FindJobRow)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(Save)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
