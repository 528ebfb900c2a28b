#pragma once

// Ends the process at once with status: no destructor, no exit handler and
// no buffered stream runs any more (what must reach a file has to be
// written before).
[[noreturn]] void EndProcessAtOnce(int status);
