#pragma once

#include "engine/ShellAndWaitRequest.h"

// Starts the request's program and arguments (or its command line, split
// into them; no shell) as a process in a process group of its own, so that
// a Ctrl+C on the terminal does not reach it, and waits for its end, serving the event loop the
// whole time in steps of the request's wait step. There is no overall
// time-out. The child's input is empty and its output is discarded.
// True when the process started and ended normally (whatever its exit
// code); false when it could not be started or was killed.
bool ShellAndWait(ShellAndWaitRequest &request);
