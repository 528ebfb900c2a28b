#include "engine/RunThroughput.h"

#include "engine/DownloadOutcomes.h"
#include "engine/RunState.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <memory>

void SlidingRate::Restart(int64_t nowMs)
{
    startMs = nowMs;
    total = 0;
    samples.clear();
}

void SlidingRate::Add(int64_t bytes, int64_t nowMs)
{
    total += bytes;
    samples.push_back({nowMs, total});
    // The newest sample before the window is the count the window starts from.
    while (samples.size() > 1 && samples[1].AtMs <= nowMs - WindowMs)
        samples.pop_front();
}

std::optional<double> SlidingRate::PerSecond(int64_t nowMs) const
{
    const int64_t from = std::max(startMs, nowMs - WindowMs);
    if (nowMs <= from)
        return std::nullopt;
    int64_t before = 0;
    for (const Sample &sample : samples) {
        if (sample.AtMs > from)
            break;
        before = sample.Total;
    }
    return static_cast<double>(total - before) * 1000.0 / static_cast<double>(nowMs - from);
}

RunThroughput::RunThroughput() : RunThroughput(MonotonicClock())
{
}

RunThroughput::RunThroughput(Clock clock) : now(std::move(clock))
{
    run.Restart(now());
}

RunThroughput::Clock RunThroughput::MonotonicClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

void RunThroughput::Restart()
{
    run.Restart(now());
    savedBytes = 0;
    savedFiles = 0;
}

void RunThroughput::Started(int slot)
{
    if (!ValidSlot(slot))
        return;
    Download &download = downloads[static_cast<size_t>(slot)];
    download = Download{};
    download.Busy = true;
    download.Rate.Restart(now());
}

void RunThroughput::Received(int slot, int64_t bytes, int64_t size)
{
    if (!ValidSlot(slot))
        return;
    Download &download = downloads[static_cast<size_t>(slot)];
    const int64_t added = bytes - download.Received;
    if (added > 0) {
        const int64_t at = now();
        run.Add(added, at);
        download.Rate.Add(added, at);
    }
    download.Received = bytes;
    download.Size = std::max<int64_t>(size, 0);
}

void RunThroughput::Ended(int slot, bool saved)
{
    if (!ValidSlot(slot))
        return;
    Download &download = downloads[static_cast<size_t>(slot)];
    if (saved && download.Busy) {
        savedBytes += download.Received;
        ++savedFiles;
    }
    download.Busy = false;
}

RunFigures RunThroughput::Figures(const RunState &state) const
{
    const int64_t at = now();
    RunFigures figures;
    figures.FilesDone = state.ScannedCount;
    figures.FilesTotal = state.TotalCount;
    figures.Received = run.Total();
    figures.BytesPerSecond = run.PerSecond(at);
    figures.SecondsLeft = SecondsLeft(state, figures.BytesPerSecond);
    for (size_t i = 0; i < downloads.size(); ++i) {
        const Download &download = downloads[i];
        if (!download.Busy)
            continue;
        DownloadFigures shown;
        shown.Slot = static_cast<int>(i);
        shown.Received = download.Received;
        shown.Size = download.Size;
        shown.BytesPerSecond = download.Rate.PerSecond(at);
        if (download.Size > 0)
            shown.Percent = DownloadOutcomes::Percentage(download.Received, download.Size);
        figures.Downloads.push_back(shown);
    }
    return figures;
}

// The files saved and the sizes that servers announced for the files in
// flight stand for the files still to come.
std::optional<double> RunThroughput::MeanFileSize() const
{
    double bytes = static_cast<double>(savedBytes);
    int32_t files = savedFiles;
    for (const Download &download : downloads) {
        if (download.Busy && download.Size > 0) {
            bytes += static_cast<double>(download.Size);
            ++files;
        }
    }
    if (files == 0)
        return std::nullopt;
    return bytes / files;
}

std::optional<int64_t> RunThroughput::BytesLeft(const RunState &state) const
{
    const std::optional<double> mean = MeanFileSize();
    double left = 0;
    int32_t inFlight = 0;
    for (const Download &download : downloads) {
        if (!download.Busy)
            continue;
        ++inFlight;
        if (download.Size == 0 && !mean)
            return std::nullopt;
        const double size = download.Size > 0 ? static_cast<double>(download.Size) : *mean;
        left += std::max(0.0, size - static_cast<double>(download.Received));
    }
    const int32_t notStarted = std::max(0, state.TotalCount - state.ScannedCount - state.LeftAfterEnd - inFlight);
    if (notStarted > 0 && !mean)
        return std::nullopt;
    if (notStarted > 0)
        left += notStarted * *mean;
    return static_cast<int64_t>(std::ceil(left));
}

// Time left is the work left at the recent speed.
std::optional<int64_t> RunThroughput::SecondsLeft(const RunState &state, std::optional<double> bytesPerSecond) const
{
    const std::optional<int64_t> left = BytesLeft(state);
    if (!left)
        return std::nullopt;
    if (*left == 0)
        return 0;
    if (!bytesPerSecond || *bytesPerSecond <= 0)
        return std::nullopt;
    return static_cast<int64_t>(std::ceil(static_cast<double>(*left) / *bytesPerSecond));
}

QString QuantityText(double amount, Quantity quantity)
{
    if (quantity == Quantity::Seconds) {
        const auto seconds = static_cast<int64_t>(std::ceil(std::max(0.0, amount)));
        if (seconds < 60)
            return QStringLiteral("%1 s").arg(seconds);
        if (seconds < 3600)
            return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
        return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
    }
    const QString perSecond = quantity == Quantity::BytesPerSecond ? QStringLiteral("/s") : QString();
    if (amount < 1024)
        return QStringLiteral("%1 B").arg(std::llround(std::max(0.0, amount))) + perSecond;
    static const char *const units[] = {"KiB", "MiB", "GiB", "TiB"};
    int unit = 0;
    amount /= 1024;
    while (amount >= 1024 && unit < 3) {
        amount /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(amount, 0, 'f', 1).arg(QLatin1String(units[unit])) + perSecond;
}

namespace {

QString SpeedText(std::optional<double> bytesPerSecond)
{
    return bytesPerSecond ? QuantityText(*bytesPerSecond, Quantity::BytesPerSecond) : QStringLiteral("speed unknown");
}

} // namespace

QString RunFiguresText(const RunFigures &figures)
{
    const QString left = figures.SecondsLeft
        ? QuantityText(static_cast<double>(*figures.SecondsLeft), Quantity::Seconds) + QStringLiteral(" left")
        : QStringLiteral("time left unknown");
    return QStringLiteral("%1 of %2 files, %3, %4, %5")
        .arg(figures.FilesDone)
        .arg(figures.FilesTotal)
        .arg(QuantityText(static_cast<double>(figures.Received), Quantity::Bytes), SpeedText(figures.BytesPerSecond),
            left);
}

QString DownloadFiguresText(const DownloadFigures &figures)
{
    return QuantityText(static_cast<double>(figures.Received), Quantity::Bytes) + QStringLiteral(", ") +
        SpeedText(figures.BytesPerSecond);
}
