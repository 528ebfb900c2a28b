#include "RunIntegrationFixture.h"
#include "support/JobLists.h"

// What the user may do while a run is going: editing and copying go ahead,
// actions that would remove, reorder or replace rows, or rebuild the shared
// queue, are refused; either way the run ends as it would have. The user
// has dragged the Url and Prefix columns to other places: the run still
// reads each job's fields from their own columns.
using RunRules = RunIntegrationFixture;

TEST_F(RunRules, ActionsThatWouldPullRowsFromUnderTheRunAreRefusedAndTheRunEndsIntact)
{
    Add(Job("/size=100/delay=#1#00/a#1#.bin", "1", "3"));
    Add(Job("/size=200/b#1#.bin", "1", "2", "", "p_"));
    app.FillGrid();
    app.LG().SetColPosition(JobColUrl, JobColCategory);
    app.LG().SetColPosition(JobColPrefix, JobColL1);
    const QString otherList = dir.filePath("other.txt");
    ASSERT_TRUE(SaveJobs(otherList, {Job("/size=10/other.bin")}));
    bool asked = false, load = true, remove = true, postProcess = true;
    int32_t copyRow = -1;
    OnComplete(0, [&](FileDL &) {
        if (std::exchange(asked, true))
            return;
        EXPECT_FALSE(app.Engine().AllowsRowChanges());
        load = app.LoadList(otherList);
        remove = app.DeleteJob(0);
        postProcess = app.Engine().PostProcessRow(0);
        copyRow = app.CopyJob(1);
    });

    ASSERT_TRUE(Run());

    ASSERT_EQ(app.LG().ColPosition(JobColCategory), JobColUrl) << "the columns stayed swapped";
    EXPECT_EQ(std::make_tuple(load, remove, postProcess), std::make_tuple(false, false, false));
    EXPECT_EQ(copyRow, 2) << "a copy is appended during a run";
    EXPECT_EQ(OutFiles(), (QStringList{"a1.bin", "a2.bin", "a3.bin", "p_b1.bin", "p_b2.bin"}));
    EXPECT_TRUE(server.Requests().filter("other").isEmpty());
    ExpectSummary(5, 0);
    ASSERT_EQ(app.LG().ItemCount(), 3);
    EXPECT_EQ(app.Jobs().JobText(2, JobColUrl), app.Jobs().JobText(1, JobColUrl));
    EXPECT_TRUE(app.DeleteJob(0)) << "after the run";
    EXPECT_TRUE(app.Jobs().Record(1).Deleted);
    app.FillGrid(); // the deleted job's row stays out; the others keep their records
    EXPECT_EQ(
        std::make_tuple(app.LG().ItemCount(), app.LG().ItemData(0), app.LG().ItemData(1)), std::make_tuple(2, 2, 3));
}
