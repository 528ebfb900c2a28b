#include "app/JobTable.h"

#include "controls/grid/GridStore.h"
#include "util/Errors.h"
#include "util/Numbers.h"
#include "util/Text.h"

#include <algorithm>

namespace {

// The text columns in record field order, Category (field 1) to Prefix
// (field 9).
constexpr JobColumn TextColumns[] = {
    JobColCategory, JobColUrl, JobColL1, JobColU1, JobColFormat1, JobColL2, JobColU2, JobColFormat2, JobColPrefix};

int PostProcessImage(const JobRecord &job)
{
    if (TrimBlanks(job.CmdPP).isEmpty())
        return JobImageNone;
    return job.RunPP == QLatin1String("1") ? JobImagePostProcessAuto : JobImagePostProcessManual;
}

} // namespace

JobTable::JobTable(GridStore &grid) : LG(grid), JobRecords(1)
{
    for (int i = 1; i <= JobImagePostProcessManual; ++i)
        ImageList1.Add();
}

int32_t JobTable::JobCount() const
{
    return static_cast<int32_t>(JobRecords.size()) - 1;
}

JobRecord &JobTable::Record(int32_t i)
{
    if (i < 1 || i > JobCount())
        throw SubscriptError();
    return JobRecords[static_cast<size_t>(i)];
}

const JobRecord &JobTable::Record(int32_t i) const
{
    return const_cast<JobTable *>(this)->Record(i);
}

int32_t JobTable::AppendRecord(const JobRecord &record)
{
    JobRecords.push_back(record);
    return JobCount();
}

int32_t JobTable::AppendRecord(JobRecord &&record)
{
    JobRecords.push_back(std::move(record));
    return JobCount();
}

void JobTable::ReplaceRecords(std::vector<JobRecord> &&records)
{
    JobRecords = std::move(records);
    if (JobRecords.empty())
        JobRecords.resize(1);
}

void JobTable::SetupJobGrid()
{
    LG.SetEditTrigger(18);
    LG.SetHideSelection(false);
    LG.SetImageList(&ImageList1);
    LG.SetRowHeightMin(330);
    LG.AddColumn(QStringLiteral(" "), 350);
    LG.AddColumn(QStringLiteral(" "), 0);
    LG.AddColumn(QStringLiteral("Get"), 500, 5, 3);
    LG.AddColumn(QStringLiteral("Category"), 800);
    LG.AddColumn(QStringLiteral("Url"), 2000);
    LG.AddColumn(QStringLiteral("L1"), 400, 6);
    LG.AddColumn(QStringLiteral("U1"), 400, 6);
    LG.AddColumn(QStringLiteral("Format1"), 400);
    LG.AddColumn(QStringLiteral("L2"), 400, 6);
    LG.AddColumn(QStringLiteral("U2"), 400, 6);
    LG.AddColumn(QStringLiteral("Format2"), 400);
    LG.AddColumn(QStringLiteral("Prefix"), 600);
    LG.AddColumn(QString(), 0);
    LG.AddColumn(QStringLiteral("PP "), 400, 5);
    LG.AddColumn(QStringLiteral("B"), 350, 5, 0, QString(), QString(), 5);
    LG.AddColumn(QStringLiteral("Output"), LG.ControlWidth());
    LG.SetFocusRectColor(14722429);
    LG.SetEditable(true);
    LG.SetHotHeaderTracking(false);
    LG.SetAllowUserResizing(1);
    LG.SetColumnSort(true);
    LG.SetRedraw(true);
}

void JobTable::DefaultJobs(int32_t n)
{
    JobRecords.resize(static_cast<size_t>(n) + 1);
    for (int32_t i = 1; i <= n; ++i) {
        JobRecord &job = JobRecords[static_cast<size_t>(i)];
        job.Category = QStringLiteral("Cat");
        job.Url = QStringLiteral("http://");
        job.L1 = QStringLiteral("1");
        job.U1 = QStringLiteral("10");
        job.Format1 = QStringLiteral("00");
        job.L2 = QStringLiteral("1");
        job.U2 = QStringLiteral("10");
        job.Format2 = QStringLiteral("000");
        job.Prefix = QStringLiteral("Pre_");
        job.Output = QStringLiteral("%TEMP%\\Tavrin\\.") + QString::number(i);
        job.LastDate = CompactText();
    }
}

// The display position that shows the column: the grid's column order maps
// positions to columns, so this is its inverse.
int32_t JobTable::Position(JobColumn column) const
{
    for (int32_t position = 0; position <= LG.Cols(); ++position) {
        if (LG.ColPosition(position) == column)
            return position;
    }
    return column;
}

JobTable::ColumnPositions JobTable::Positions() const
{
    ColumnPositions positions;
    for (int column = 0; column < ColumnCount; ++column)
        positions[column] = column;
    // From the right, so that the first position showing a column wins.
    for (int32_t position = LG.Cols(); position >= 0; --position) {
        const int32_t column = LG.ColPosition(position);
        if (column >= 0 && column < ColumnCount)
            positions[column] = position;
    }
    return positions;
}

void JobTable::RecordToRow(int32_t row, int32_t i)
{
    RecordToRow(row, i, Positions());
}

void JobTable::AddRecordRows()
{
    const auto shown = [](const JobRecord &job) { return !job.Deleted; };
    const auto count = std::count_if(JobRecords.begin() + 1, JobRecords.end(), shown);
    int32_t row = LG.ItemCount();
    LG.AddItems(static_cast<int32_t>(count));
    const ColumnPositions at = Positions();
    for (int32_t i = 1; i <= JobCount(); ++i)
        if (shown(Record(i)))
            RecordToRow(row++, i, at);
}

void JobTable::RecordToRow(int32_t row, int32_t i, const ColumnPositions &at)
{
    const JobRecord &job = Record(i);
    LG.SetCellChecked(row, at[JobColGet], job.Get == QLatin1String("1"));
    for (int k = 0; k < 9; ++k)
        LG.ShareCellText(row, at[TextColumns[k]], job.Field(k + 1));
    LG.ShareCellText(row, at[JobColOutput], job.Output);
    LG.ShareCellText(row, at[JobColLastDate], job.LastDate);
    LG.SetCellImage(row, at[JobColPP], PostProcessImage(job));
    LG.SetItemData(row, i);
    LG.SetCellImage(row, at[JobColMarker], JobImageRowMarker);
    LG.SetCellImage(row, at[JobColBrowse], JobImageFolder);
}

void JobTable::RowToRecord(int32_t row, int32_t i)
{
    JobRecord &job = Record(i);
    job.Get = JobChecked(row) ? QStringLiteral("1") : QStringLiteral("0");
    for (int k = 0; k < 9; ++k)
        job.Field(k + 1) = JobText(row, TextColumns[k]);
    job.Output = JobText(row, JobColOutput);
    job.LastDate = JobText(row, JobColLastDate);
}

QString JobTable::JobText(int32_t row, JobColumn column) const
{
    return LG.CellText(row, Position(column));
}

bool JobTable::JobChecked(int32_t row) const
{
    return LG.CellChecked(row, Position(JobColGet));
}

RowJob JobTable::JobOfRow(int32_t row) const
{
    const ColumnPositions at = Positions();
    const auto text = [&](JobColumn column) { return LG.CellText(row, at[column]); };
    RowJob job;
    job.Row = row;
    job.Record = LG.ItemData(row);
    job.Url = text(JobColUrl);
    job.Prefix = text(JobColPrefix);
    job.Output = text(JobColOutput);
    try {
        job.First = {LeadingLong(text(JobColL1)), LeadingLong(text(JobColU1)), text(JobColFormat1)};
        job.Second = {LeadingLong(text(JobColL2)), LeadingLong(text(JobColU2)), text(JobColFormat2)};
    } catch (const OverflowError &) {
        job.First = job.Second = JobSequence();
        job.BoundsInRange = false;
    }
    const JobRecord &record = Record(job.Record);
    job.RunPP = record.RunPP;
    job.AllPP = record.AllPP;
    job.SepPP = record.SepPP;
    job.CmdPP = record.CmdPP;
    return job;
}

RowJob JobTable::JobOfRow(int32_t row, const QString &dataFolder) const
{
    RowJob job = JobOfRow(row);
    job.ResolveFolder(dataFolder);
    return job;
}

int32_t JobTable::CopyJob(int32_t row)
{
    LG.SetRedraw(false);
    const int32_t copy = AppendRecord();
    const int32_t newRow = LG.AddItem();
    LG.SetItemData(newRow, copy);
    RowToRecord(row, copy);
    RecordToRow(newRow, copy);
    LG.GotoCell(newRow, 0);
    LG.SetRedraw(true);
    return newRow;
}

int32_t JobTable::AddJob(const JobRecord &job)
{
    LG.SetRedraw(false);
    const int32_t added = AppendRecord(job);
    const int32_t newRow = LG.AddItem();
    RecordToRow(newRow, added);
    LG.GotoCell(newRow, 0);
    LG.SetRedraw(true);
    return newRow;
}

void JobTable::DeleteJob(int32_t row)
{
    Record(LG.ItemData(row)).Deleted = true;
    LG.RemoveItem(row);
    LG.RefreshView();
}

int32_t JobTable::FindJobRow(const QString &text, int32_t current) const
{
    if (text.isEmpty())
        return -1;
    // The cells' own texts are searched: no copy of three texts a row.
    const auto matches = [&](int32_t row) {
        for (JobColumn column : {JobColCategory, JobColUrl, JobColOutput})
            if (LG.CellTextIn(row, column).contains(text, Qt::CaseInsensitive))
                return true;
        return false;
    };
    const int32_t start = std::max(current + 1, 0);
    const int32_t count = LG.ItemCount();
    for (int32_t row = start; row < count; ++row)
        if (matches(row))
            return row;
    // Round from the top only when the first pass did not start there (or
    // at the row below it).
    if (start >= 2)
        for (int32_t row = 0; row <= std::min(start, count - 1); ++row)
            if (matches(row))
                return row;
    return -1;
}
