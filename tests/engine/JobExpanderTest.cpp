#include "RunIntegrationFixture.h"
#include "engine/DownloadQueue.h"
#include "util/Errors.h"

using JobExpanderTest = RunIntegrationFixture;

// The second sequence varies fastest; #1# in the prefix takes the number too.
// A template that uses #2# without #1#, or does not start with a sequence
// after its first character, gives its one URL as written. The job pass logs
// every item; the counting pass logs none.
TEST_F(JobExpanderTest, SequencesExpandIntoQueueItemsInOrder)
{
    FetchContext &context = FetchEngineProbe::Context(app.Engine());
    JobExpander &expander = FetchEngineProbe::Expander(app.Engine());
    context.StartRunLog();
    QStringList logged;
    const struct {
        const char *url, *l1, *u1, *f1, *u2, *f2;
        QStringList items;
    } cases[] = {
        {"http://h/#1#/#2#.png", "1", "2", "0", "2", "000",
            {"http://h/1/001.png > a1_001.png", "http://h/1/002.png > a1_002.png", "http://h/2/001.png > a2_001.png",
                "http://h/2/002.png > a2_002.png"}},
        {"http://h/only#2#.jpg", "1", "5", "", "3", "", {"http://h/only#2#.jpg > a#1#_only#2#.jpg"}},
        {"#1#http://h/x.jpg", "1", "5", "", "1", "", {"#1#http://h/x.jpg > a#1#_x.jpg"}},
        // The file name is what follows the URL's last "/" or "\\", query included.
        {"http://h/b.jpg?x=1&y=2", "1", "1", "", "1", "", {"http://h/b.jpg?x=1&y=2 > a#1#_b.jpg?x=1&y=2"}},
        {"http://h/a/", "1", "1", "", "1", "", {"http://h/a/ > a#1#_"}},
        {"c:\\x\\y.txt", "1", "1", "", "1", "", {"c:\\x\\y.txt > a#1#_y.txt"}},
        {"http://h/a#1#", "-2", "-1", "00", "1", "", {"http://h/a-02 > a-02_a-02", "http://h/a-01 > a-01_a-01"}},
        {"http://h/a#1#", "2147483646", "2147483647", "", "1", "",
            {"http://h/a2147483646 > a2147483646_a2147483646", "http://h/a2147483647 > a2147483647_a2147483647"}},
        // Bounds are read by the leading number rule, halves rounded to even.
        {"h/#1#", "2.5", "3.5x", "", "1", "", {"h/2 > a2_2", "h/3 > a3_3", "h/4 > a4_4"}},
        {"h/#1#", "5", "1", "", "1", "", {}},
    };
    for (const auto &c : cases) {
        JobRecord job = Job("", c.l1, c.u1, c.f1, "a#1#_");
        job.Url = c.url;
        job.U2 = c.u2;
        job.Format2 = c.f2;
        Add(job);
        app.FillGrid();
        const int32_t row = app.LG().ItemCount() - 1;
        expander.ExpandJob(app.Jobs().JobOfRow(row, app.Settings().DataFolder), false);
        EXPECT_EQ(LogLines().mid(1 + logged.size()), c.items) << c.url;
        logged << c.items;
        context.Run.TotalCount = 0;
        expander.ExpandJob(app.Jobs().JobOfRow(row, app.Settings().DataFolder), true);
        EXPECT_EQ(context.Run.TotalCount, c.items.size()) << c.url;
        EXPECT_EQ(context.Queue.QueueCount(), 0) << "counting empties the queue too";
    }
    EXPECT_EQ(LogLines().mid(1), logged);
}

// Any item of a long two-sequence job follows from its number alone.
TEST(DownloadQueue, ItemsOfALongJobFollowFromTheirNumber)
{
    DownloadQueue queue;
    queue.SetJob(2, "http://h/#1#/#2#.png", "p#2#_", "/out/", {-5, 2000000, "000"}, {1, 1000, "0000"});
    ASSERT_EQ(queue.QueueCount(), 2000006000);
    const struct {
        int32_t k;
        const char *url, *fileName;
    } cases[] = {
        {1, "http://h/-005/0001.png", "p0001_0001.png"},
        {1001, "http://h/-004/0001.png", "p0001_0001.png"},
        {1234567891, "http://h/1234562/0891.png", "p0891_0891.png"},
        {2000006000, "http://h/2000000/1000.png", "p1000_1000.png"},
    };
    for (const auto &c : cases) {
        const QueueItem item = queue.Item(c.k);
        EXPECT_EQ(item.Url + " > " + item.FileName, QString(c.url) + " > " + c.fileName) << c.k;
    }
    for (const int32_t k : {0, 2000006001})
        EXPECT_THROW(queue.Item(k), SubscriptError) << k;
}
