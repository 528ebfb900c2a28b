#pragma once

#include <QString>

struct AppSettings;
class JobTable;

// The job list file: a UTF-16LE text file with five header lines (version
// "2.1", Separator, LogFile, ResetLog, NumDLs), a comment block, then one
// job per line with every field followed by the separator.
namespace JobListFile {

// Reads the settings and the job records (not the grid). Gives the message
// to show the user, or an empty text when the list loaded. On a wrong
// version nothing changes; on a failure what was read before it stays.
QString LoadJobList(const QString &path, AppSettings &settings, JobTable &jobs);

// Writes the settings and every job not deleted. An empty separator becomes
// "±" first, in the file and in the settings. The new list replaces an
// existing file only once it is whole: false when it could not be written,
// the old file untouched, and message (when given) the text to show the
// user, naming the file and the system's reason.
bool SaveJobList(const QString &path, AppSettings &settings, const JobTable &jobs, QString *message = nullptr);

// The settings value of a header line: the text after the first "=" up to
// any second one, without surrounding blanks.
QString HeaderValue(const QString &line);

} // namespace JobListFile
