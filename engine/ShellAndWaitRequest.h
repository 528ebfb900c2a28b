#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// What post-processing asks of the process launcher, and what the launcher
// reports back.
struct ShellAndWaitRequest {
    // Start-up flag: the ShowWindow field applies.
    static constexpr int UseShowWindow = 1;
    // ShowWindow value for a minimized window.
    static constexpr int ShowMinimized = 2;

    // Filled in by the caller.
    QString CommandLine;
    // Program and arguments, each whole; when empty, CommandLine is split.
    QStringList Arguments;
    int WaitStep = 0;   // ms between event-processing rounds; 0 or less means 1000
    int Flags = 0;      // start-up flags; a Linux process has no window to
    int ShowWindow = 0; // show, so these two are kept only as requested

    // Filled in by the launcher.
    qint64 ProcessId = 0;
    bool Running = false;
    QDateTime StartTime;
    QDateTime EndTime;
    qint64 Duration = 0; // ms
};
