#include "platform/ProcessEnd.h"

#include <unistd.h>

void EndProcessAtOnce(int status)
{
    _exit(status);
}
