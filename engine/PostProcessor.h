#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class JobExpander;
struct FetchContext;

// Runs a job's post-processing command on the files its queue names: once
// per file, or once for all files joined by the job's separator.
class PostProcessor {
public:
    PostProcessor(FetchContext &context, JobExpander &expander);

    // fromRun: called by the run after the job's downloads (the command runs
    // only with RunPP "1"); otherwise a row action, which first rebuilds the
    // job's queue. Every failure is logged as "Post Process error: ".
    void PostProcessJob(int32_t recordIndex, int32_t row, bool fromRun);

    // Starts the command and waits for its end; replaceable in tests.
    std::function<bool(const QString &command)> Launch;

private:
    void Run(int32_t recordIndex, int32_t row, bool fromRun);
    void RunPerFile(const QString &cmd, int32_t row);
    bool RunOnce(QString cmd, int32_t row, bool byPath, const QString &separator);
    void Abort(const QString &reason);
    void Log(const QString &line);

    FetchContext &context;
    JobExpander &expander;
};
