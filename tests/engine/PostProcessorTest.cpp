#include "engine/DownloadSlots.h"
#include "engine/EngineFixture.h"
#include "engine/PostProcessor.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// Post-processing with the launcher replaced by a recorder: the commands
// built and the log lines written, without starting processes.
class PostProcessorTest : public ::testing::Test, public EngineFixture {
protected:
    QStringList launched;

    PostProcessorTest()
    {
        app.Engine.PostProcess.Launch = [this](const QString &command) {
            launched << command;
            return true;
        };
    }

    // A job of three numbered files whose output folder holds the files
    // named in `present`.
    int32_t AddJobWithFiles(const QString &cmd, const QString &allPP, const QStringList &present,
                            const QString &folder = "out")
    {
        JobRecord job;
        job.Url = "http://h/p/img#1#.jpg";
        job.L1 = "1";
        job.U1 = "3";
        job.Format1 = "0";
        job.Prefix = "a_";
        job.Output = dir.filePath(folder);
        job.RunPP = "1";
        job.AllPP = allPP;
        job.SepPP = " ";
        job.CmdPP = cmd;
        QDir().mkpath(job.Output);
        for (const QString &name : present) {
            QFile file(job.Output + "/" + name);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        }
        return AddJob(job);
    }

    void PostProcessRow(int32_t row) { app.Engine.PostProcess.PostProcessJob(app.LG.ItemData(row), row, false); }

    QStringList LinesAfterOpening()
    {
        QStringList lines = LogLines();
        if (!lines.isEmpty())
            lines.removeFirst();
        return lines;
    }
};

} // namespace

TEST_F(PostProcessorTest, PerFileFormFillsEveryPlaceholderForEachExistingFile)
{
    const int32_t row = AddJobWithFiles("conv #filepath# #OUT#/#FILENAME#.#FILEEXT# #File#", "",
                                        {"a_img1.jpg", "a_img3.jpg"});
    PostProcessRow(row);
    const QString out = dir.filePath("out");
    ASSERT_EQ(launched.size(), 2);
    EXPECT_EQ(launched[0], "conv " + out + "/a_img1.jpg " + out + "/a_img1.jpg a_img1.jpg");
    EXPECT_EQ(launched[1], "conv " + out + "/a_img3.jpg " + out + "/a_img3.jpg a_img3.jpg");
    const QStringList lines = LinesAfterOpening();
    ASSERT_EQ(lines.size(), 6) << lines.join("\n").toStdString();
    EXPECT_EQ(lines[3], "Execute Post Processing: Row: 0");
    EXPECT_EQ(lines[4], "  Command (1): " + launched[0]);
    EXPECT_EQ(lines[5], "  Command (3): " + launched[1]);
}

TEST_F(PostProcessorTest, OneCallFormJoinsTheNamesInQueueOrder)
{
    const int32_t row = AddJobWithFiles("zip #OUT#/all.zip #FILE# #FILEPATH# #FILENAME#", "1",
                                        {"a_img1.jpg", "a_img2.jpg", "a_img3.jpg"});
    PostProcessRow(row);
    ASSERT_EQ(launched.size(), 1);
    EXPECT_EQ(launched[0], "zip " + dir.filePath("out") + "/all.zip a_img1.jpg a_img2.jpg a_img3.jpg #FILEPATH# #FILENAME#");
    const QStringList lines = LinesAfterOpening();
    EXPECT_EQ(lines.mid(3), QStringList({"Execute Post Processing: Row: 0", "  Command: " + launched[0]}));
}

TEST_F(PostProcessorTest, OneCallFormByPathUsesFullPaths)
{
    const int32_t row = AddJobWithFiles("tar cf x.tar #FILEPATH#", "1", {"a_img2.jpg", "a_img3.jpg"});
    PostProcessRow(row);
    const QString out = dir.filePath("out");
    EXPECT_EQ(launched, QStringList({"tar cf x.tar " + out + "/a_img2.jpg " + out + "/a_img3.jpg"}));
}

TEST_F(PostProcessorTest, NothingToRunIsLoggedAndAborted)
{
    const int32_t noPlaceholder = AddJobWithFiles("run #FILENAME#", "", {"a_img1.jpg"});
    PostProcessRow(noPlaceholder);
    EXPECT_TRUE(launched.isEmpty());
    EXPECT_EQ(LinesAfterOpening(),
              QStringList({"Unable to Execute Post Processing: #FILE# or #FILEPATH# missing from Post Process",
                           "Post Process was aborted."}));

    const int32_t noFiles = AddJobWithFiles("run #FILE#", "1", {}, "empty");
    QFile::remove(app.Settings.LogFile);
    app.StartRunLog();
    PostProcessRow(noFiles);
    EXPECT_TRUE(launched.isEmpty());
    const QStringList lines = LinesAfterOpening();
    EXPECT_EQ(lines.mid(3), QStringList({"Unable to Execute Post Processing: Row=1. No files found!",
                                         "Post Process was aborted."}));
}

TEST_F(PostProcessorTest, BlankCommandsAndRunFlagDecideWhetherAnythingHappens)
{
    const int32_t blank = AddJobWithFiles("   ", "", {"a_img1.jpg"});
    PostProcessRow(blank);
    EXPECT_TRUE(LinesAfterOpening().isEmpty()) << "a blank command logs nothing";

    const int32_t manual = AddJobWithFiles("run #FILE#", "", {"a_img1.jpg"});
    app.Jobs.Record(app.LG.ItemData(manual)).RunPP = "";
    app.Engine.Expander.ExpandJob(manual, false);
    app.Engine.PostProcess.PostProcessJob(app.LG.ItemData(manual), manual, true);
    EXPECT_TRUE(launched.isEmpty()) << "a run post-processes only jobs with RunPP";
    PostProcessRow(manual);
    EXPECT_EQ(launched.size(), 1) << "a row action runs it whatever RunPP says";
}

TEST_F(PostProcessorTest, FailuresAreLoggedAsPostProcessErrors)
{
    JobRecord job;
    job.Url = "http://h/#1#";
    job.L1 = "1";
    job.U1 = "99999999999";
    job.Output = dir.filePath("out");
    job.CmdPP = "run #FILE#";
    const int32_t row = AddJob(job);
    PostProcessRow(row);
    EXPECT_EQ(LinesAfterOpening().last(), "Post Process error: Overflow");
    app.Engine.PostProcess.PostProcessJob(99, row, false);
    EXPECT_EQ(LinesAfterOpening().last(), "Post Process error: Subscript out of range");
}

TEST(DownloadSlots, SlotCountBoxAcceptsOneToNine)
{
    EngineFixture fixture;
    DownloadSlots &downloadSlots = fixture.app.Engine.Slots;
    struct Case {
        const char *text;
        bool accepted;
        int count;
    } cases[] = {{"2.5", true, 2}, {"3.7", true, 4}, {" 9 ", true, 9}, {"1", true, 1},
                 {"0", false, 0}, {"10", false, 0}, {"abc", false, 0}, {"", false, 0}, {"9.5", false, 0}};
    for (const Case &c : cases) {
        fixture.app.Settings.NumDLs = 5;
        EXPECT_EQ(downloadSlots.ValidateSlotCountText(c.text), c.accepted) << c.text;
        EXPECT_EQ(fixture.app.Settings.NumDLs, c.accepted ? c.count : 5) << c.text;
    }
}
