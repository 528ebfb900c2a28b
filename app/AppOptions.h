#pragma once

#include <cstdint>

// The options that go beyond what the job list file stores, shared by the
// window and the command line. Each is off by default, and off means the
// behaviour without it.
struct AppOptions {
    // Stop a sequence after this many missing files in a row (0: never).
    int32_t UntilMissing = 0;
};
