#include "engine/ShellAndWait.h"

#include "platform/ProcessGroups.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace {

const int DefaultWaitStep = 1000;

// The child is started "minimized": nothing of it shows. Its output is
// dropped so that it never mixes with ours (the headless runner's stdout
// carries only the summary), and its input is empty so that a program
// reading stdin ends instead of waiting forever.
void Detach(QProcess &process)
{
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
}

bool Start(QProcess &process, const ShellAndWaitRequest &request)
{
    QStringList arguments =
        request.Arguments.isEmpty() ? QProcess::splitCommand(request.CommandLine) : request.Arguments;
    if (arguments.isEmpty() || arguments.first().isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    // A group of its own: the terminal's Ctrl+C goes to the runner only, which
    // treats it as Stop and lets the command finish.
    StartInOwnProcessGroup(process);
    process.start(program, arguments);
    return process.state() != QProcess::NotRunning;
}

// Serves events until the process ends, one step at a time. Each step is
// a nested event loop that the process's end quits at once. A loop that
// ends with a code of its own was ended by the application quitting; the
// event loop then refuses to run again, so the rest of the wait blocks
// step by step instead of spinning.
void WaitForEnd(QProcess &process, int step)
{
    QEventLoop loop;
    QTimer stepTimer;
    stepTimer.setSingleShot(true);
    stepTimer.setInterval(step);
    QObject::connect(&stepTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    bool applicationQuitting = false;
    while (process.state() != QProcess::NotRunning) {
        if (applicationQuitting) {
            process.waitForFinished(step);
            continue;
        }
        stepTimer.start();
        applicationQuitting = loop.exec() != 0;
    }
}

} // namespace

bool ShellAndWait(ShellAndWaitRequest &request)
{
    request.StartTime = QDateTime::currentDateTime();
    const int step = request.WaitStep > 0 ? request.WaitStep : DefaultWaitStep;
    request.Running = true;
    request.ProcessId = 0;

    QProcess process;
    Detach(process);
    QObject::connect(&process, &QProcess::started, [&] { request.ProcessId = process.processId(); });
    bool endedNormally = false;
    if (Start(process, request)) {
        // A second Ctrl+C ends the program and this command with it.
        const TrackedProcessGroup tracked(process.processId());
        WaitForEnd(process, step);
        endedNormally = process.error() != QProcess::FailedToStart && process.exitStatus() == QProcess::NormalExit;
    }

    request.Running = false;
    request.EndTime = QDateTime::currentDateTime();
    request.Duration = request.StartTime.msecsTo(request.EndTime);
    return endedNormally;
}
