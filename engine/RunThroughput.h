#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

struct RunState;

// A growing count of bytes against time, and its rate over the last few
// seconds (a stalled download drops to 0 as the window moves on).
class SlidingRate {
public:
    static constexpr int64_t WindowMs = 5000;

    void Restart(int64_t nowMs);
    void Add(int64_t bytes, int64_t nowMs);
    int64_t Total() const { return total; }
    // Bytes a second over the window (or since the start, when that is
    // nearer); none before any time has passed.
    std::optional<double> PerSecond(int64_t nowMs) const;

private:
    struct Sample {
        int64_t AtMs;
        int64_t Total;
    };
    int64_t startMs = 0;
    int64_t total = 0;
    std::deque<Sample> samples; // oldest first; at most one before the window
};

// One busy download as the readouts show it.
struct DownloadFigures {
    int Slot = 0;
    int64_t Received = 0;
    int64_t Size = 0; // 0 when the server did not say
    std::optional<double> BytesPerSecond;
    std::optional<int32_t> Percent; // none when the size is unknown
};

// The run as the readouts show it: files done of the total, the bytes
// received, the recent speed and the time left (none when there is no basis
// for them).
struct RunFigures {
    int32_t FilesDone = 0;
    int32_t FilesTotal = 0;
    int64_t Received = 0;
    std::optional<double> BytesPerSecond;
    std::optional<int64_t> SecondsLeft;
    std::vector<DownloadFigures> Downloads;
};

// The figures behind the terminal readout and the window's tooltip, fed by
// the download events. Time comes from a clock a test can drive.
class RunThroughput {
public:
    // Milliseconds of a monotonic clock.
    using Clock = std::function<int64_t()>;
    static constexpr int SlotCount = 9;

    RunThroughput();
    explicit RunThroughput(Clock clock);

    // A run starts: its bytes and files count from now. Downloads in flight
    // from an earlier run go on being followed.
    void Restart();
    void Started(int slot);
    void Received(int slot, int64_t bytes, int64_t size);
    // A download ended: saved (its size tells the size of the files to
    // come), failed or cancelled.
    void Ended(int slot, bool saved);

    RunFigures Figures(const RunState &run) const;

    static Clock MonotonicClock();

private:
    struct Download {
        bool Busy = false;
        int64_t Received = 0;
        int64_t Size = 0;
        SlidingRate Rate;
    };
    bool ValidSlot(int slot) const { return slot >= 0 && slot < SlotCount; }
    std::optional<double> MeanFileSize() const;
    std::optional<int64_t> BytesLeft(const RunState &state) const;
    std::optional<int64_t> SecondsLeft(const RunState &state, std::optional<double> bytesPerSecond) const;

    Clock now;
    SlidingRate run;
    int64_t savedBytes = 0;
    int32_t savedFiles = 0;
    std::array<Download, SlotCount> downloads;
};

// The one place where the figures become text.
enum class Quantity { Bytes, BytesPerSecond, Seconds };
QString QuantityText(double amount, Quantity quantity);
// "3 of 20 files, 1.5 MiB, 300.0 KiB/s, 12 s left"
QString RunFiguresText(const RunFigures &figures);
// "1.2 MiB, 300.0 KiB/s"
QString DownloadFiguresText(const DownloadFigures &figures);
