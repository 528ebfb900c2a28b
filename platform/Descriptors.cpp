#include "platform/Descriptors.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

// The descriptors open now (the first few thousand are plenty to see what
// one call opened).
std::vector<int> OpenDescriptors()
{
    std::vector<int> open;
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
