#include "app/JobTable.h"
#include "controls/grid/GridStore.h"

#include <gtest/gtest.h>

namespace {

JobRecord SampleJob()
{
    JobRecord job;
    for (int f = 0; f < JobRecord::FieldCount; ++f)
        job.Field(f) = QStringLiteral("f%1").arg(f);
    job.Get = "1";
    job.RunPP = "1";
    job.CmdPP = "echo #FILE#";
    return job;
}

struct JobGrid {
    GridStore LG;
    JobTable Jobs{LG};
    JobGrid() { Jobs.SetupJobGrid(); }

    int32_t AddRow(const JobRecord &job)
    {
        const int32_t i = Jobs.AppendRecord(job);
        const int32_t row = LG.AddItem();
        Jobs.RecordToRow(row, i);
        return row;
    }
};

} // namespace

TEST(JobTable, SetupCreatesTheSixteenColumns)
{
    JobGrid grid;
    ASSERT_EQ(grid.LG.Cols(), 15);
    const char *headings[] = {" ", " ", "Get", "Category", "Url", "L1", "U1", "Format1",
                              "L2", "U2", "Format2", "Prefix", "", "PP ", "B", "Output"};
    for (int c = 0; c <= 15; ++c)
        EXPECT_EQ(grid.LG.ColHeading(c), headings[c]) << c;
    EXPECT_EQ(grid.LG.ColType(JobColGet), ColTypeCheckBox);
    EXPECT_EQ(grid.LG.ColAlignment(JobColL1), 6);
    EXPECT_EQ(grid.LG.ColImageAlignment(JobColBrowse), 5);
    EXPECT_FLOAT_EQ(grid.LG.ColWidth(JobColLastDate), 0);
    EXPECT_EQ(grid.LG.Properties().EditTrigger, 18);
    EXPECT_EQ(grid.LG.Properties().RowHeightMin, 330);
    EXPECT_TRUE(grid.LG.Properties().ColumnSort);
    EXPECT_FALSE(grid.LG.Properties().HotHeaderTracking);
}

TEST(JobTable, RecordToRowAndBackKeepsEveryShownField)
{
    JobGrid grid;
    const JobRecord job = SampleJob();
    const int32_t row = grid.AddRow(job);
    EXPECT_TRUE(grid.LG.CellChecked(row, JobColGet));
    EXPECT_EQ(grid.LG.CellText(row, JobColUrl), "f2");
    EXPECT_EQ(grid.LG.CellText(row, JobColPrefix), "f9");
    EXPECT_EQ(grid.LG.CellText(row, JobColOutput), "f10");
    EXPECT_EQ(grid.LG.CellText(row, JobColLastDate), "f11");
    EXPECT_EQ(grid.LG.ItemData(row), 1);
    EXPECT_EQ(grid.LG.CellImage(row, JobColMarker).toInt(), JobImageRowMarker);
    EXPECT_EQ(grid.LG.CellImage(row, JobColBrowse).toInt(), JobImageFolder);

    const int32_t copy = grid.Jobs.AppendRecord();
    grid.Jobs.RowToRecord(row, copy);
    const JobRecord &back = grid.Jobs.Record(copy);
    for (int f = 0; f <= 11; ++f)
        EXPECT_EQ(back.Field(f), job.Field(f)) << "field " << f;
    for (int f = 12; f <= 15; ++f)
        EXPECT_EQ(back.Field(f), "") << "post-processing fields are not in the grid: " << f;
}

TEST(JobTable, PostProcessImageFollowsCommandAndRunFlag)
{
    struct Case {
        const char *cmd;
        const char *runPP;
        int image;
    } cases[] = {
        {"run #FILE#", "1", JobImagePostProcessAuto},
        {"run #FILE#", "", JobImagePostProcessManual},
        {"run #FILE#", "yes", JobImagePostProcessManual},
        {"   ", "1", JobImageNone},
        {"", "1", JobImageNone},
    };
    JobGrid grid;
    for (const Case &c : cases) {
        JobRecord job;
        job.CmdPP = c.cmd;
        job.RunPP = c.runPP;
        const int32_t row = grid.AddRow(job);
        EXPECT_EQ(grid.LG.CellImage(row, JobColPP).toInt(), c.image) << c.cmd << "/" << c.runPP;
    }
}

TEST(JobTable, AGetOtherThanOneShowsUncheckedAndIsStoredAsZero)
{
    JobGrid grid;
    for (const char *get : {"yes", "-1", "0", ""}) {
        JobRecord job;
        job.Get = get;
        const int32_t row = grid.AddRow(job);
        EXPECT_FALSE(grid.LG.CellChecked(row, JobColGet)) << get;
        const int32_t i = grid.LG.ItemData(row);
        grid.Jobs.RowToRecord(row, i);
        EXPECT_EQ(grid.Jobs.Record(i).Get, "0");
    }
}

TEST(JobTable, DefaultJobs)
{
    JobGrid grid;
    grid.Jobs.DefaultJobs(10);
    ASSERT_EQ(grid.Jobs.JobCount(), 10);
    for (int i = 1; i <= 10; ++i) {
        const JobRecord &job = grid.Jobs.Record(i);
        EXPECT_EQ(job.Output, QStringLiteral("%TEMP%\\Tavrin\\.%1").arg(i));
        EXPECT_EQ(job.Get, "");
        EXPECT_EQ(job.Url, "http://");
        EXPECT_EQ(job.Format2, "000");
        EXPECT_FALSE(job.Deleted);
    }
}
