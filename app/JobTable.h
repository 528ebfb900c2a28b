#pragma once

#include "app/JobRecord.h"
#include "app/RowJob.h"
#include "controls/grid/ImageList.h"

#include <array>
#include <cstdint>
#include <vector>

class GridStore;

// The job grid's columns by index.
enum JobColumn {
    JobColMarker = 0,
    JobColHidden = 1,
    JobColGet = 2,
    JobColCategory = 3,
    JobColUrl = 4,
    JobColL1 = 5,
    JobColU1 = 6,
    JobColFormat1 = 7,
    JobColL2 = 8,
    JobColU2 = 9,
    JobColFormat2 = 10,
    JobColPrefix = 11,
    JobColLastDate = 12,
    JobColPP = 13,
    JobColBrowse = 14,
    JobColOutput = 15,
};

// Images of the job grid.
enum JobImage {
    JobImageNone = 0,
    JobImageFolder = 3,
    JobImageRowMarker = 4,
    JobImagePostProcessAuto = 5,
    JobImagePostProcessManual = 6,
};

// The jobs in their two places kept in step: the records (the stored truth,
// indexed from 1, index 0 unused) and the rows of the job grid, each row
// carrying its record index as item data.
//
// The grid addresses cells by display position, which changes when the user
// drags a column; every read and write of a job cell here goes through the
// column's index, so callers name columns by JobColumn only.
class JobTable {
public:
    explicit JobTable(GridStore &grid);

    int32_t JobCount() const;
    // Record i (1..JobCount); SubscriptError outside.
    JobRecord &Record(int32_t i);
    const JobRecord &Record(int32_t i) const;
    // Appends a record with every field empty and gives its index.
    int32_t AppendRecord(const JobRecord &record = JobRecord());
    int32_t AppendRecord(JobRecord &&record);
    // Every record replaced by the given ones, indexed from 1 like the
    // table's own (index 0 unused).
    void ReplaceRecords(std::vector<JobRecord> &&records);

    void SetupJobGrid();
    void DefaultJobs(int32_t n);
    void RecordToRow(int32_t row, int32_t i);
    // A row added after the grid's last for every record not deleted, in
    // record order.
    void AddRecordRows();
    void RowToRecord(int32_t row, int32_t i);

    // The job row's cell in the given column, wherever it is displayed.
    QString JobText(int32_t row, JobColumn column) const;
    bool JobChecked(int32_t row) const;
    // The job of a row as one value (RowJob), its folder resolved with the
    // data folder; without it, Folder is left for RowJob::ResolveFolder, so
    // that a look at the job makes no folder. SubscriptError when the row or
    // its record does not exist.
    RowJob JobOfRow(int32_t row) const;
    RowJob JobOfRow(int32_t row, const QString &dataFolder) const;

    // The row actions on the job of a row: a copy appended as a new last row
    // (its post-processing fields empty), which gives the new row; a delete
    // that marks the record Deleted (left out of the next save) and removes
    // the row.
    int32_t CopyJob(int32_t row);
    void DeleteJob(int32_t row);
    // A new job appended as the last row and made current, like a copy;
    // gives the new row.
    int32_t AddJob(const JobRecord &job);

    // The search box's rule: the first row after current (current -1: from
    // the top) whose Category, Url or Output contains text, ignoring letter
    // case; when there is none below, the rows from the top up to the one
    // after current. -1 when nothing matches or text is empty.
    int32_t FindJobRow(const QString &text, int32_t current) const;

    const GridStore &Grid() const { return LG; }

private:
    static constexpr int ColumnCount = JobColOutput + 1;
    using ColumnPositions = std::array<int32_t, ColumnCount>;

    int32_t Position(JobColumn column) const;
    // Every column's position at once: filling rows looks them up once.
    ColumnPositions Positions() const;
    void RecordToRow(int32_t row, int32_t i, const ColumnPositions &at);

    GridStore &LG;
    std::vector<JobRecord> JobRecords;
    ImageList ImageList1;
};
