#include "app/JobTable.h"
#include "controls/grid/GridStore.h"

#include <gtest/gtest.h>

namespace {

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

// A Get other than "1" shows unchecked and goes back as "0".
TEST(JobTable, CheckAndPostProcessImageFollowTheirFields)
{
    const struct {
        const char *get, *cmd, *runPP;
        bool checked;
        int image;
    } cases[] = {
        {"1", "run #FILE#", "1", true, JobImagePostProcessAuto},
        {"yes", "run #FILE#", "", false, JobImagePostProcessManual},
        {"-1", "run #FILE#", "yes", false, JobImagePostProcessManual},
        {"0", "   ", "1", false, JobImageNone},
        {"", "", "1", false, JobImageNone},
    };
    JobGrid grid;
    for (const auto &c : cases) {
        JobRecord job;
        job.Get = c.get;
        job.CmdPP = c.cmd;
        job.RunPP = c.runPP;
        const int32_t row = grid.AddRow(job);
        EXPECT_EQ(grid.LG.CellChecked(row, JobColGet), c.checked) << c.get;
        EXPECT_EQ(grid.LG.CellImage(row, JobColPP).toInt(), c.image) << c.cmd << "/" << c.runPP;
        const int32_t i = grid.LG.ItemData(row);
        grid.Jobs.RowToRecord(row, i);
        EXPECT_EQ(grid.Jobs.Record(i).Get, c.checked ? "1" : "0");
    }
}
