#include "engine/SequenceEnd.h"
#include "engine/DownloadQueue.h"
#include "engine/RunIntegrationFixture.h"

namespace {

DownloadQueue Queue(int sequences, int32_t outer, int32_t inner)
{
    DownloadQueue queue;
    queue.SetJob(sequences, "http://x/#1#_#2#.jpg", "", "/tmp/", {1, outer, ""}, {1, inner, ""});
    return queue;
}

} // namespace

// Answers come in any order; the rule reads them in queue order. Each case
// reports items missing one by one (with the end each report gives), then
// asks which item is the next to request from some items on.
TEST(SequenceEnd, NMissingInARowEndTheirSequenceWhateverOrderTheyCameIn)
{
    const struct {
        const char *name;
        int sequences;
        int32_t outer, inner, limit;
        std::vector<std::pair<int32_t, int32_t>> missingAndEnd;
        std::vector<std::pair<int64_t, int64_t>> nextFrom;
    } cases[] = {
        {"out of order", 1, 1000, 1, 3, {{8, 0}, {6, 0}, {7, 8}}, {{9, 1001}}},
        {"a gap shorter than N, then filled", 1, 1000, 1, 3, {{6, 0}, {7, 0}, {9, 0}, {10, 0}}, {{11, 11}}},
        {"two gaps joined: the end is N after the first", 1, 1000, 1, 3, {{6, 0}, {7, 0}, {9, 0}, {10, 0}, {8, 8}},
            {{9, 1001}}},
        {"one sequence ends once", 1, 1000, 1, 2, {{3, 0}, {4, 4}, {2, 0}, {50, 0}, {51, 0}}, {{5, 1001}}},
        {"N = 1", 1, 10, 1, 1, {{1, 1}}, {{1, 1}, {2, 11}}},
        {"runs never cross outer values", 2, 3, 10, 3, {{9, 0}, {10, 0}, {11, 0}, {12, 0}}, {{13, 13}}},
        {"off", 1, 1000, 1, 0, {{1, 0}, {2, 0}, {3, 0}}, {{4, 4}, {1000, 1000}}},
        {"a job without a sequence is not one", 0, 1, 1, 1, {{1, 0}}, {{1, 1}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SequenceEnd end;
        end.Begin(c.limit, Queue(c.sequences, c.outer, c.inner));
        for (const auto &[k, ended] : c.missingAndEnd)
            EXPECT_EQ(end.Missing(k), ended) << k;
        for (const auto &[from, next] : c.nextFrom) {
            EXPECT_EQ(end.NextToRequest(from), next) << from;
            EXPECT_EQ(end.Skips(from), next != from) << from;
        }
    }
}

TEST(SequenceEnd, WhatCountsAsMissing)
{
    const struct {
        int status;
        const char *type, *url;
        bool missing;
    } cases[] = {
        {404, "", "http://x/a.jpg", true},
        {410, "text/plain", "http://x/a.jpg", true},
        {301, "text/html", "http://x/a.jpg", false},
        {200, "image/jpeg", "http://x/a.jpg", false},
        {200, "text/html", "http://x/a.jpg", true},
        {200, "Text/HTML; charset=utf-8", "http://x/a.jpg", true},
        {200, "text/html", "http://x/PAGE12.HTM", false},
        {200, "text/html", "http://x/page12.html?session=1/x.jpg", false},
        {200, "text/html", "http://x/view.php?id=3", true},
        {200, "text/html", "http://x/a.jpg#x.html", true},
        {200, "text/htmlx", "http://x/a.jpg", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SequenceEnd::AnswerIsMissing(c.status, c.type, c.url), c.missing)
            << c.status << ' ' << c.type << ' ' << c.url;
}

using SequenceEndRun = RunIntegrationFixture;

// Two sequences, one slot: the rule ends the inner one of each outer value,
// and the job when an outer value's first N files are missing. A "not
// found" page counts as missing and is not saved; the run goes on with the
// next job.
TEST_F(SequenceEndRun, TwoSequencesEndEachInnerOneAndTheJobAtAnEmptyOuterValue)
{
    Add(Job("/exist=3/dirs=2/softmissing=1/d#1#/f#2#.bin", "1", "5", "", "#1#_"));
    app.Jobs().Record(1).L2 = "1";
    app.Jobs().Record(1).U2 = "50";
    Add(Job("/size=10/next.bin"));
    app.Settings().NumDLs = 1;
    app.Settings().Options.UntilMissing = 2;
    ASSERT_TRUE(Run());

    QStringList expected;
    for (const auto &[folder, last] : {std::pair{1, 5}, {2, 5}, {3, 2}})
        for (int f = 1; f <= last; ++f)
            expected << QString("/exist=3/dirs=2/softmissing=1/d%1/f%2.bin").arg(folder).arg(f);
    EXPECT_EQ(server.Requests(), expected << "/size=10/next.bin");
    EXPECT_EQ(
        OutFiles(), (QStringList{"1_f1.bin", "1_f2.bin", "1_f3.bin", "2_f1.bin", "2_f2.bin", "2_f3.bin", "next.bin"}));
    const QString ended =
        "Sequence ended after 2 missing files: " + server.Url("/exist=3/dirs=2/softmissing=1/d%1/f%2.bin");
    EXPECT_EQ(
        Logged("Sequence ended after "), (QStringList{ended.arg(1).arg(5), ended.arg(2).arg(5), ended.arg(3).arg(2)}));
    const RunState &run = Counters();
    EXPECT_EQ(std::make_tuple(run.FoundCount, run.MissingCount, run.LeftAfterEnd), std::make_tuple(7, 6, 250 - 12));
}
