#include "platform/Descriptors.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The descriptors open now, from the system's list of them when it has one
// (a handful of calls), otherwise by asking for each of the first few
// thousand numbers (plenty to see what one call opened). Sorted.
std::vector<int> OpenDescriptors()
{
    std::vector<int> open;
    if (DIR *listing = ::opendir("/proc/self/fd")) {
        const int own = ::dirfd(listing);
        while (const dirent *entry = ::readdir(listing)) {
            char *end = nullptr;
            const long descriptor = std::strtol(entry->d_name, &end, 10);
            if (end != entry->d_name && *end == '\0' && descriptor >= 3 && descriptor != own)
                open.push_back(static_cast<int>(descriptor));
        }
        ::closedir(listing);
        std::sort(open.begin(), open.end());
        return open;
    }
    for (int descriptor = 3; descriptor < 4096; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) >= 0)
            open.push_back(descriptor);
    }
    return open;
}

void SetCloseOnExec(int descriptor)
{
    const int flags = ::fcntl(descriptor, F_GETFD);
    if (flags >= 0)
        ::fcntl(descriptor, F_SETFD, flags | FD_CLOEXEC);
}

} // namespace

void CloseOnExecWhatOpens(const std::function<void()> &opening)
{
    const std::vector<int> openBefore = OpenDescriptors();
    opening();
    for (const int descriptor : OpenDescriptors()) {
        if (!std::binary_search(openBefore.begin(), openBefore.end(), descriptor))
            SetCloseOnExec(descriptor);
    }
}

int OpenSocketClosedOnExec(int family, int type, int protocol)
{
    return ::socket(family, type | SOCK_CLOEXEC, protocol);
}

int CloseDescriptor(int descriptor)
{
    return ::close(descriptor);
}

bool StandardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}
