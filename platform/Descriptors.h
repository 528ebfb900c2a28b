#pragma once

#include <functional>

// Runs opening and marks every descriptor it opened close-on-exec, for
// libraries that open descriptors a started program must not inherit.
void CloseOnExecWhatOpens(const std::function<void()> &opening);

// A new socket, close-on-exec; -1 when it cannot be had.
int OpenSocketClosedOnExec(int family, int type, int protocol);

// Closes a descriptor; 0, or -1 when the system refused.
int CloseDescriptor(int descriptor);

// True when standard error is a terminal.
bool StandardErrorIsTerminal();
