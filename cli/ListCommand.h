#pragma once

#include <QIODevice>
#include <QString>
#include <cstdint>

class AppCore;

// "tavrin --list": the settings and the job table as start-up fills them.
// Four lines Separator=, LogFile=, ResetLog=0|1, NumDLs=N, then one line per
// grid row: the record index and the sixteen fields of that record, all
// separated by a TAB.
void PrintJobList(const AppCore &app, QIODevice &out);
// The line of one grid row's job, as PrintJobList prints it.
void PrintJob(const AppCore &app, int32_t row, QIODevice &out);
