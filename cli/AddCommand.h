#pragma once

#include <QString>

// "tavrin --add URL [LISTFILE]": loads the job list start-up would load,
// appends the job guessed from url, saves the list in one step and prints
// the new job as --list prints a job. Gives the exit status: 0 when the
// list was saved; 2, with nothing written, when url is not a URL, or the
// list cannot be loaded or saved (a LISTFILE named on the command line
// must exist: the job never goes to another list than the one named).
int AddJobFromUrl(const QString &url, const QString &listFile);
