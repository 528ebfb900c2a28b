#include "platform/ProcessGroups.h"

#include <QProcess>

#include <array>
#include <atomic>
#include <csignal>
#include <ctime>
#include <unistd.h>

namespace {

// The tracked group leaders, where a signal handler can reach them.
std::array<std::atomic<pid_t>, 16> trackedLeaders{};

} // namespace

void StartInOwnProcessGroup(QProcess &process)
{
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

TrackedProcessGroup::TrackedProcessGroup(qint64 leader)
{
    for (size_t i = 0; i < trackedLeaders.size(); ++i) {
        pid_t expected = 0;
        if (trackedLeaders[i].compare_exchange_strong(expected, pid_t(leader))) {
            slot = int(i);
            return;
        }
    }
}

TrackedProcessGroup::~TrackedProcessGroup()
{
    if (slot >= 0)
        trackedLeaders[size_t(slot)] = 0;
}

void EndTrackedProcessGroups()
{
    for (const int signal : {SIGTERM, SIGKILL}) {
        bool any = false;
        for (const std::atomic<pid_t> &leader : trackedLeaders) {
            const pid_t pid = leader;
            if (pid > 0) {
                ::kill(-pid, signal);
                any = true;
            }
        }
        if (!any)
            return;
        // A moment to end cleanly before the hard way.
        const timespec grace{0, 200 * 1000 * 1000};
        if (signal == SIGTERM)
            ::nanosleep(&grace, nullptr);
    }
}
