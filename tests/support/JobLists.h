#pragma once

#include "app/AppSettings.h"
#include "app/JobListFile.h"
#include "controls/grid/GridStore.h"

#include <vector>

// Saves jobs with settings as a job list, the way the program does.
inline bool SaveJobs(const QString &path, const std::vector<JobRecord> &jobs, AppSettings settings = {})
{
    GridStore grid;
    JobTable table(grid);
    for (const JobRecord &job : jobs)
        table.AppendRecord(job);
    return JobListFile::SaveJobList(path, settings, table);
}
