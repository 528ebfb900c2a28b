#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include <QStringList>

class JobExpander;
struct RowJob;

// A post-processing command line with its placeholders being filled: the
// text as the log shows it, and the program and arguments it starts.
struct PostProcessCommand {
    explicit PostProcessCommand(const QString &commandLine);
    // Every occurrence, without regard to case, in the text and inside each
    // argument.
    void Fill(const QString &placeholder, const QString &value);
    // The values joined by separator; with a blank separator an argument that
    // is the placeholder alone becomes one argument per value.
    void FillList(const QString &placeholder, const QStringList &values, const QString &separator);
    void ExpandPathVariables(const QString &dataFolder);
    bool Contains(const QString &placeholder) const;

    QString Text;
    QStringList Arguments;
};
struct FetchContext;

// Runs a job's post-processing command on the files its queue names: once
// per file, or once for all files joined by the job's separator.
class PostProcessor {
public:
    PostProcessor(FetchContext &context, JobExpander &expander);

    // Post-processes the job of a row. fromRun: called by the run after the
    // job's downloads (the command runs only with RunPP "1", on the queue the
    // job left); otherwise a row action, which rebuilds the job's queue first.
    // Every failure is logged as "Post Process error: ".
    void PostProcessRow(int32_t row, bool fromRun);

    // Starts the command and waits for its end; replaceable in tests.
    std::function<bool(const PostProcessCommand &command)> Launch;

private:
    void Run(RowJob job, bool fromRun);
    void RunPerFile(const PostProcessCommand &cmd, int32_t row);
    bool RunOnce(PostProcessCommand cmd, int32_t row, bool byPath, const QString &separator);
    void Abort(const QString &reason);
    void Log(const QString &line);

    FetchContext &context;
    JobExpander &expander;
};
