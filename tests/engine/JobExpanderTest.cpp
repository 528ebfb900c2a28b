#include "engine/FetchEngineProbe.h"
#include "engine/DownloadQueue.h"
#include "engine/JobExpander.h"
#include "engine/EngineFixture.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

class JobExpanderTest : public ::testing::Test, public EngineFixture {
protected:
    JobRecord Job(const QString &url, const QString &l1, const QString &u1, const QString &f1 = "00")
    {
        JobRecord job;
        job.Get = "1";
        job.Url = url;
        job.L1 = l1;
        job.U1 = u1;
        job.Format1 = f1;
        job.L2 = "1";
        job.U2 = "1";
        job.Output = dir.filePath("out");
        return job;
    }

    QStringList QueuedFileNames(int32_t row)
    {
        FetchEngineProbe::Expander(app.Engine()).ExpandJob(row, false);
        QStringList names;
        DownloadQueue &queue = FetchEngineProbe::Context(app.Engine()).Queue;
        for (int32_t k = 1; k <= queue.QueueCount(); ++k)
            names << queue.Item(k).FileName;
        return names;
    }

    int32_t Counted(int32_t row)
    {
        FetchEngineProbe::Context(app.Engine()).Run.TotalCount = 0;
        FetchEngineProbe::Expander(app.Engine()).ExpandJob(row, true);
        return app.Engine().Counters().TotalCount;
    }
};

} // namespace

TEST_F(JobExpanderTest, OneSequenceWithAZeroPicture)
{
    JobRecord job = Job("http://h/p/img#1#.jpg", "1", "3");
    job.Prefix = "a#1#_";
    const int32_t row = AddJob(job);
    EXPECT_EQ(QueuedFileNames(row), QStringList({"a01_img01.jpg", "a02_img02.jpg", "a03_img03.jpg"}));
    const QueueItem &first = FetchEngineProbe::Context(app.Engine()).Queue.Item(1);
    EXPECT_EQ(first.Url, "http://h/p/img01.jpg");
    EXPECT_EQ(first.TargetPath, dir.filePath("out") + "/a01_img01.jpg");
    EXPECT_FALSE(first.Started);
    EXPECT_EQ(Counted(row), 3);
    EXPECT_EQ(FetchEngineProbe::Context(app.Engine()).Queue.QueueCount(), 0) << "counting empties the queue too";
}

TEST_F(JobExpanderTest, TwoSequencesVaryTheSecondFastest)
{
    JobRecord job = Job("http://h/#1#/#2#.png", "1", "2", "0");
    job.L2 = "1";
    job.U2 = "3";
    job.Format2 = "000";
    const int32_t row = AddJob(job);
    FetchEngineProbe::Expander(app.Engine()).ExpandJob(row, false);
    QStringList urls;
    for (int32_t k = 1; k <= FetchEngineProbe::Context(app.Engine()).Queue.QueueCount(); ++k)
        urls << FetchEngineProbe::Context(app.Engine()).Queue.Item(k).Url;
    EXPECT_EQ(urls, QStringList({"http://h/1/001.png", "http://h/1/002.png", "http://h/1/003.png",
                                 "http://h/2/001.png", "http://h/2/002.png", "http://h/2/003.png"}));
    EXPECT_EQ(Counted(row), 6);
}

TEST_F(JobExpanderTest, TemplatesThatUseNoSequenceGiveOneUrl)
{
    struct Case {
        const char *url;
        const char *name;
    } cases[] = {
        {"http://h/only#2#.jpg", "only#2#.jpg"},
        {"#1#http://h/x.jpg", "x.jpg"},
        {"http://h/plain.jpg", "plain.jpg"},
    };
    for (const Case &c : cases) {
        JobRecord job = Job(c.url, "1", "5");
        job.Prefix = "p#1#";
        const int32_t row = AddJob(job);
        EXPECT_EQ(QueuedFileNames(row), QStringList({QString("p#1#") + c.name})) << c.url;
        EXPECT_EQ(Counted(row), 1);
    }
}

TEST_F(JobExpanderTest, BoundsByTheLeadingNumberRule)
{
    struct Case {
        const char *lower;
        const char *upper;
        int count;
    } cases[] = {{"1", "5x", 5}, {"", "2", 3}, {"abc", "0", 1}, {"2.5", "3.5", 3}, {"5", "1", 0}, {"-1", "1", 3}};
    for (const Case &c : cases) {
        const int32_t row = AddJob(Job("http://h/a#1#", c.lower, c.upper, ""));
        EXPECT_EQ(Counted(row), c.count) << c.lower << ".." << c.upper;
        EXPECT_EQ(QueuedFileNames(row).size(), c.count);
    }
    const int32_t negative = AddJob(Job("http://h/a#1#", "-2", "-1", "00"));
    EXPECT_EQ(QueuedFileNames(negative), QStringList({"a-02", "a-01"}));
}

TEST_F(JobExpanderTest, TheLargestBoundEndsTheLoop)
{
    const int32_t row = AddJob(Job("http://h/a#1#", "2147483646", "2147483647", ""));
    EXPECT_EQ(QueuedFileNames(row), QStringList({"a2147483646", "a2147483647"}));
}

TEST_F(JobExpanderTest, BoundsOutsideThe32BitRangeFailTheExpansion)
{
    JobRecord big = Job("http://h/a#1#", "1", "99999999999");
    EXPECT_THROW(FetchEngineProbe::Expander(app.Engine()).ExpandJob(AddJob(big), true), OverflowError);
    // All four bounds are read, even for a job that uses only the first sequence.
    JobRecord unusedL2 = Job("http://h/a#1#", "1", "2");
    unusedL2.L2 = "-3000000000";
    EXPECT_THROW(FetchEngineProbe::Expander(app.Engine()).ExpandJob(AddJob(unusedL2), false), OverflowError);
    // A count beyond the 32-bit range overflows too.
    JobRecord huge = Job("http://h/#1#/#2#", "1", "100000");
    huge.U2 = "100000";
    EXPECT_THROW(FetchEngineProbe::Expander(app.Engine()).ExpandJob(AddJob(huge), true), OverflowError);
}

TEST_F(JobExpanderTest, AnOutputFolderThatCannotBeMadeIsLoggedAndSkipped)
{
    FetchEngineProbe::Context(app.Engine()).StartRunLog();
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    JobRecord job = Job("http://h/a#1#", "1", "3");
    job.Output = dir.filePath("file") + "\\sub";
    const int32_t row = AddJob(job);
    EXPECT_EQ(Counted(row), 0);
    EXPECT_TRUE(QueuedFileNames(row).isEmpty());
    const QStringList lines = LogLines();
    EXPECT_EQ(lines.count("Unable to Access Output Folder : " + job.Output), 2);
}

TEST_F(JobExpanderTest, EveryQueuedUrlIsLogged)
{
    FetchEngineProbe::Context(app.Engine()).StartRunLog();
    JobRecord job = Job("http://h/p/img_#1#.jpg", "4", "5");
    job.Prefix = "a_";
    QueuedFileNames(AddJob(job));
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1], "http://h/p/img_04.jpg > a_img_04.jpg");
    EXPECT_EQ(lines[2], "http://h/p/img_05.jpg > a_img_05.jpg");
}

TEST(DownloadQueue, FileNameIsTheLastComponentOfTheUrl)
{
    struct Case {
        const char *url;
        const char *name;
    } cases[] = {
        {"http://h/a/b.jpg", "b.jpg"},
        {"http://h/a/b.jpg?x=1&y=2", "b.jpg?x=1&y=2"},
        {"http://h/a/", ""},
        {"c:\\x\\y.txt", "y.txt"},
        {"plain", "plain"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DownloadQueue::FileNameOfUrl(c.url), c.name) << c.url;
}

TEST(JobExpander, SequencesUsed)
{
    EXPECT_EQ(JobExpander::SequencesUsed("x#1#"), 1);
    EXPECT_EQ(JobExpander::SequencesUsed("x#1#y#2#"), 2);
    EXPECT_EQ(JobExpander::SequencesUsed("x#2#y#1#"), 2);
    EXPECT_EQ(JobExpander::SequencesUsed("#1#y#2#"), 0);
    EXPECT_EQ(JobExpander::SequencesUsed("x#2#"), 0);
}
