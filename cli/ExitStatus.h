#pragma once

// The exit statuses of the tavrin command.
enum ExitStatus {
    ExitOk = 0,                 // every counted URL saved (or nothing to do)
    ExitNotAllSaved = 1,        // a URL failed, was redirected or stopped
    ExitBadListOrArguments = 2, // the job list cannot be loaded, or wrong arguments
    ExitUnexpected = 3,         // the run ended with "Unexpected event: "
};
