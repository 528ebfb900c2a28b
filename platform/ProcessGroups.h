#pragma once

#include <QtGlobal>

class QProcess;

// Sets process up so that the child it starts leads a process group of its
// own: a signal the terminal sends to its foreground group (Ctrl+C) does not
// reach the child.
void StartInOwnProcessGroup(QProcess &process);

// While it lives, the group led by leader is one that
// EndTrackedProcessGroups ends.
class TrackedProcessGroup {
public:
    explicit TrackedProcessGroup(qint64 leader);
    ~TrackedProcessGroup();
    Q_DISABLE_COPY_MOVE(TrackedProcessGroup)

private:
    int slot = -1;
};

// Ends the tracked groups (SIGTERM, then SIGKILL for what is left).
// Async-signal-safe: for a process that is about to end at once, so that it
// leaves no child behind.
void EndTrackedProcessGroups();
