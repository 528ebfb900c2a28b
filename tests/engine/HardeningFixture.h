#pragma once

#include "RunIntegrationFixture.h"
#include "app/JobListFile.h"

#include <QFile>
#include <QProcess>

#include <functional>
#include <signal.h>
#include <unistd.h>

// The run fixture plus what the hardening tests share: the built program run
// with its own environment, working folder and process group, and a script
// that appends each argument it gets as one line of a file.
class HardeningFixture : public RunIntegrationFixture {
protected:
    struct CliResult {
        int exitCode = -2; // -1 after a crash, -2 when it did not end
        QString out, err;
    };

    QString SaveList(const std::vector<JobRecord> &jobs)
    {
        app.Settings().LogFile.clear();
        for (const JobRecord &job : jobs)
            Add(job);
        const QString path = dir.filePath("jobs.txt");
        EXPECT_TRUE(JobListFile::SaveJobList(path, app.Settings(), app.Jobs()));
        return path;
    }

    // Runs tavrin in a process group of its own (as a shell starts a job),
    // in the working folder "cwd"; whileRunning is called once it started.
    CliResult RunTavrin(const QStringList &arguments, const std::function<void(QProcess &)> &whileRunning = {})
    {
        QDir().mkpath(dir.filePath("cwd"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.filePath("cwd"));
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        process.start(TAVRIN_EXECUTABLE, arguments);
        CliResult result;
        if (!process.waitForStarted(10000))
            return result;
        if (whileRunning)
            whileRunning(process);
        if (process.waitForFinished(30000))
            result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        process.kill();
        process.waitForFinished(5000);
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }

    // Waits (serving nothing) until ready holds or ten seconds pass.
    static bool WaitFor(QProcess &process, const std::function<bool()> &ready)
    {
        for (int waited = 0; !ready() && waited < 10000; waited += 20)
            process.waitForFinished(20);
        return ready();
    }

    static JobRecord WithCommand(JobRecord job, const QString &cmd, const QString &allPP = "0",
                                 const QString &sepPP = " ")
    {
        job.CmdPP = cmd;
        job.AllPP = allPP;
        job.RunPP = "1";
        job.SepPP = sepPP;
        return job;
    }

    // A script that appends each of its arguments as one line to Arguments().
    QString ArgumentsScript()
    {
        const QString path = dir.filePath("args.sh");
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" + Arguments() + "'\n").toLocal8Bit());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        return path;
    }
    QString Arguments() const { return dir.filePath("args.txt"); }
    QStringList ArgumentLines() const
    {
        QStringList lines = QString::fromLocal8Bit(FileBytes(Arguments())).split('\n');
        lines.removeLast();
        return lines;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};
