#pragma once

#include <QString>

// "tavrin --run": start-up as the window does, then one run of every checked
// job; the summary goes to standard output. Gives the exit status: 0 every
// counted URL saved, 1 any not saved (failed, redirected, stopped), 2 the
// list could not be loaded, 3 the run ended with "Unexpected event: ".
int RunJobsWithoutWindow(const QString &listFile);
