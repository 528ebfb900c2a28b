#include "app/JobTable.h"
#include "controls/grid/GridStore.h"

#include <QFileInfo>
#include <QTemporaryDir>

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

QString Shown(const JobSequence &sequence)
{
    return QStringLiteral("%1..%2 %3").arg(sequence.lower).arg(sequence.upper).arg(sequence.picture);
}

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

// The job of a row: its cells with the bounds read by the leading-number
// rule (one out of range empties both sequences), its record's
// post-processing settings, and its folder resolved, and made, only when the
// data folder is given.
TEST(JobTable, TheJobOfARowReadsItsBoundsAndResolvesItsFolderOnce)
{
    QTemporaryDir temp;
    const QString data = temp.path() + "/data";
    const struct {
        const char *l1, *u1, *f1, *l2, *u2, *f2, *output;
        const char *first, *second, *folder; // folder: below data, or unusable
        bool inRange;
    } cases[] = {
        {"1", "10", "00", "-3", "3.5", "000", "%APPDATA%\\a\\b", "1..10 00", "-3..4 000", "/a/b/", true},
        {"2.5", "abc", "", "&H10", " 1 2", "#", "%appdata%/c", "2..0 ", "16..12 #", "/c/", true},
        {"1", "2", "0", "99999999999", "1", "00", "%APPDATA%\\d", "0..0 ", "0..0 ", "/d/", false},
        {"1", "1", "", "1", "1", "", "", "1..1 ", "1..1 ", nullptr, true},
        {"1", "1", "", "1", "1", "", "C:\\Pics", "1..1 ", "1..1 ", nullptr, true},
    };
    JobGrid grid;
    grid.AddRow(JobRecord());
    grid.Jobs.DeleteJob(0); // rows and records no longer share numbers
    for (const auto &c : cases) {
        JobRecord record{"1", "Cat", "http://h/#1#", c.l1, c.u1, c.f1, c.l2, c.u2, c.f2, "p_", c.output, "", "0", "1",
            ";", "run #FILE#"};
        const int32_t row = grid.AddRow(record);
        const QString folder = c.folder ? data + c.folder : QString();

        const RowJob look = grid.Jobs.JobOfRow(row);
        EXPECT_TRUE(look.Folder.isEmpty());
        EXPECT_FALSE(c.folder && QFileInfo::exists(folder)) << "a look makes no folder";

        const RowJob job = grid.Jobs.JobOfRow(row, data);
        EXPECT_EQ(QStringList({Shown(job.First), Shown(job.Second)}), QStringList({c.first, c.second})) << c.l2;
        EXPECT_EQ(job.BoundsInRange, c.inRange) << c.l2;
        EXPECT_EQ(job.Folder, folder) << c.output;
        EXPECT_EQ(QFileInfo(folder).isDir(), c.folder != nullptr) << c.output;
        EXPECT_EQ(QStringList({job.Url, job.Prefix, job.Output}), QStringList({record.Url, "p_", c.output}));
        EXPECT_EQ(
            QStringList({job.CmdPP, job.AllPP, job.SepPP, job.RunPP}), QStringList({"run #FILE#", "1", ";", "0"}));
        EXPECT_EQ(std::make_pair(job.Row, job.Record), std::make_pair(row, row + 2));
    }
}
