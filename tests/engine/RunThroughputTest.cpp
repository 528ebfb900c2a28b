#include "engine/RunThroughput.h"
#include "engine/RunState.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// What the download events tell, at a time on the driven clock.
struct Event {
    enum Kind { Restart, Start, Receive, Save, Fail };
    int64_t AtMs;
    Kind What;
    int Slot = 0;
    int64_t Bytes = 0; // received so far (Receive)
    int64_t Size = 0;  // as the server announced it (Receive)
};

struct FiguresCase {
    const char *Name;
    std::vector<Event> Events;
    RunState Counts;
    int64_t AskAtMs;
    int64_t Received;
    std::optional<double> BytesPerSecond;
    std::optional<int64_t> SecondsLeft;
};

RunState Counts(int32_t total, int32_t scanned, int32_t leftAfterEnd = 0)
{
    RunState run;
    run.TotalCount = total;
    run.ScannedCount = scanned;
    run.LeftAfterEnd = leftAfterEnd;
    return run;
}

class RunThroughputTest : public ::testing::Test {
protected:
    int64_t clockMs = 0;
    RunThroughput throughput{[this] { return clockMs; }};

    void Replay(const std::vector<Event> &events)
    {
        for (const Event &event : events) {
            clockMs = event.AtMs;
            switch (event.What) {
            case Event::Restart:
                throughput.Restart();
                break;
            case Event::Start:
                throughput.Started(event.Slot);
                break;
            case Event::Receive:
                throughput.Received(event.Slot, event.Bytes, event.Size);
                break;
            case Event::Save:
            case Event::Fail:
                throughput.Ended(event.Slot, event.What == Event::Save);
                break;
            }
        }
    }
};

} // namespace

// The speed is the bytes of the last five seconds (or since the start) over
// that time; the time left is the work left at that speed: the rest of the
// files in flight (their announced size, else the mean size) and the files
// not started yet at the mean size of the files saved and announced.
TEST_F(RunThroughputTest, SpeedOverTheWindowAndTimeLeft)
{
    const std::vector<FiguresCase> cases = {
        {"the window starts five seconds back",
            {{0, Event::Start, 0}, {1000, Event::Receive, 0, 50000, 200000}, {6000, Event::Receive, 0, 100000, 200000}},
            Counts(20, 0), 6000, 100000, 10000.0, (100000 + 19 * 200000) / 10000},
        {"early in the run the speed counts from the start",
            {{0, Event::Start, 0}, {1000, Event::Receive, 0, 4000, 0}, {1000, Event::Save, 0}}, Counts(4, 1), 2000,
            4000, 2000.0, 3 * 4000 / 2000},
        {"a stall drops the speed to 0 and the time left is unknown",
            {{0, Event::Start, 0}, {1000, Event::Receive, 0, 10000, 20000}}, Counts(1, 0), 7000, 10000, 0.0,
            std::nullopt},
        {"no time has passed: nothing is known", {}, Counts(3, 0), 0, 0, std::nullopt, std::nullopt},
        {"a failed download tells no file size",
            {{0, Event::Start, 0}, {1000, Event::Receive, 0, 300, 0}, {1000, Event::Fail, 0}}, Counts(2, 1), 2000, 300,
            150.0, std::nullopt},
        {"every file done: nothing is left, even at no speed",
            {{0, Event::Start, 0}, {100, Event::Receive, 0, 700, 700}, {100, Event::Save, 0}}, Counts(1, 1), 60000, 700,
            0.0, 0},
        {"files left out after a sequence ended are not waited for",
            {{0, Event::Start, 0}, {1000, Event::Receive, 0, 1000, 0}, {1000, Event::Save, 0}}, Counts(10, 1, 8), 1000,
            1000, 1000.0, 1},
        {"two downloads at once add up; an unknown size counts as the mean",
            {{0, Event::Start, 0}, {0, Event::Start, 1}, {1000, Event::Receive, 0, 3000, 8000},
                {1000, Event::Receive, 1, 1000, 0}},
            Counts(2, 0), 1000, 4000, 4000.0, (5000 + 7000) / 4000},
        {"a new run counts only its own bytes; a download in flight goes on",
            {{0, Event::Start, 0}, {1000, Event::Receive, 0, 9000, 0}, {2000, Event::Restart},
                {3000, Event::Receive, 0, 11000, 0}},
            Counts(1, 0), 4000, 2000, 1000.0, std::nullopt},
        {"a download cancelled on its slot is not waited for",
            {{0, Event::Start, 0}, {1000, Event::Receive, 0, 2000, 9000}, {1000, Event::Fail, 0}}, Counts(1, 1), 1000,
            2000, 2000.0, 0},
    };
    for (const FiguresCase &each : cases) {
        SCOPED_TRACE(each.Name);
        clockMs = 0;
        throughput = RunThroughput([this] { return clockMs; });
        Replay(each.Events);
        clockMs = each.AskAtMs;
        const RunFigures figures = throughput.Figures(each.Counts);
        EXPECT_EQ(figures.Received, each.Received);
        EXPECT_EQ(figures.BytesPerSecond, each.BytesPerSecond);
        EXPECT_EQ(figures.SecondsLeft, each.SecondsLeft);
    }
}

// Each busy download: its bytes, its own speed since it started and its
// share of its file; a saved or cancelled one is gone.
TEST_F(RunThroughputTest, EachBusyDownloadHasItsBytesSpeedAndShare)
{
    Replay({{0, Event::Start, 0}, {0, Event::Start, 1}, {0, Event::Start, 2}, {1000, Event::Receive, 0, 2500, 10000},
        {1000, Event::Start, 4}, {1500, Event::Receive, 1, 1000, 0}, {1500, Event::Save, 1}, {1500, Event::Fail, 2},
        {2000, Event::Receive, 4, 3000, 3000}});
    clockMs = 2000;
    const std::vector<DownloadFigures> downloads = throughput.Figures(Counts(5, 2)).Downloads;
    const auto shown = [](const DownloadFigures &d) {
        return std::make_tuple(d.Slot, d.Received, d.BytesPerSecond, d.Percent.value_or(-1));
    };
    ASSERT_EQ(downloads.size(), 2u);
    EXPECT_EQ(shown(downloads[0]), std::make_tuple(0, int64_t(2500), 1250.0, 25));
    EXPECT_EQ(shown(downloads[1]), std::make_tuple(4, int64_t(3000), 3000.0, 100));

    clockMs = 2500;
    throughput.Received(0, 2600, 0);
    const DownloadFigures unknownSize = throughput.Figures(Counts(5, 2)).Downloads.at(0);
    EXPECT_EQ(unknownSize.Percent, std::nullopt);
}

TEST(QuantityText, BytesSpeedsAndDurations)
{
    const struct {
        double Amount;
        Quantity What;
        const char *Text;
    } cases[] = {
        {1023, Quantity::Bytes, "1023 B"},
        {1024, Quantity::Bytes, "1.0 KiB"},
        {3.3 * 1024 * 1024 * 1024, Quantity::Bytes, "3.3 GiB"},
        {12.4, Quantity::BytesPerSecond, "12 B/s"},
        {0, Quantity::Seconds, "0 s"},
        {61, Quantity::Seconds, "1 min 1 s"},
        {3599, Quantity::Seconds, "59 min 59 s"},
        {3600, Quantity::Seconds, "1 h 0 min"},
        {3725, Quantity::Seconds, "1 h 2 min"},
    };
    for (const auto &each : cases)
        EXPECT_EQ(QuantityText(each.Amount, each.What), QString::fromLatin1(each.Text)) << each.Text;
}

// The known figures are checked in the window's tooltip.
TEST(RunFiguresText, SaysWhatIsUnknown)
{
    RunFigures figures;
    figures.FilesDone = 3;
    figures.FilesTotal = 20;
    figures.Received = 1536 * 1024;
    EXPECT_EQ(RunFiguresText(figures), "3 of 20 files, 1.5 MiB, speed unknown, time left unknown");
}
