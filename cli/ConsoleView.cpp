#include "cli/ConsoleView.h"

#include "engine/FetchEngine.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int RedrawInterval = 100; // ms
constexpr int TickInterval = 1000;  // ms

} // namespace

ConsoleView::ConsoleView(bool liveProgress, std::FILE *errorStream)
    : ConsoleView(liveProgress ? ProgressReadout::Live : ProgressReadout::None, errorStream)
{
}

ConsoleView::ConsoleView(ProgressReadout progressReadout, std::FILE *errorStream)
    : readout(progressReadout),
      errors(errorStream)
{
    // The speed and the time left change also while no download reports.
    everySecond.setInterval(TickInterval);
    QObject::connect(&everySecond, &QTimer::timeout, [this] { Tick(); });
}

void ConsoleView::Write(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), errors);
    std::fflush(errors);
}

void ConsoleView::ShowMessage(const QString &text)
{
    messageShown = true;
    EraseLines();
    Write(text + u'\n');
}

bool ConsoleView::MessageShown() const
{
    return messageShown;
}

void ConsoleView::Watch(const FetchEngine &engine)
{
    watched = &engine;
    if (readout != ProgressReadout::None)
        everySecond.start();
}

void ConsoleView::Tick()
{
    if (readout == ProgressReadout::Lines)
        Write(RunFiguresText(watched->Figures()) + u'\n');
    else
        Redraw(true);
}

void ConsoleView::SetOverallValue(int32_t value)
{
    overallValue = value;
    Redraw();
}

void ConsoleView::SetOverallText(const QString &text)
{
    overallText = text;
    Redraw();
}

void ConsoleView::SetSlotValue(int, int32_t)
{
    Redraw();
}

QStringList ConsoleView::LiveLines() const
{
    const RunFigures figures = watched->Figures();
    QStringList lines;
    for (const FetchEngine::BusyDownload &download : watched->BusyDownloads()) {
        const auto shown = std::find_if(figures.Downloads.begin(), figures.Downloads.end(),
            [&](const DownloadFigures &each) { return each.Slot == download.Slot; });
        const bool known = shown != figures.Downloads.end();
        const QString percent = known && shown->Percent ? QString::number(*shown->Percent) : QStringLiteral("?");
        lines << QStringLiteral("  [%1] %2%  %3").arg(download.Slot + 1).arg(percent, 3).arg(download.Url);
        if (known)
            lines << QStringLiteral("         ") + DownloadFiguresText(*shown);
    }
    lines << QStringLiteral("%1%  %2").arg(overallValue, 3).arg(overallText);
    lines << QStringLiteral("      ") + RunFiguresText(figures);
    return lines;
}

void ConsoleView::EraseLines()
{
    if (linesShown == 0)
        return;
    // Up to the first live line, then clear everything below.
    Write(QStringLiteral("\x1b[%1A\r\x1b[J").arg(linesShown));
    linesShown = 0;
}

void ConsoleView::Redraw(bool force)
{
    if (readout != ProgressReadout::Live || !watched)
        return;
    if (!force && sinceRedraw.isValid() && sinceRedraw.elapsed() < RedrawInterval)
        return;
    sinceRedraw.start();
    const QStringList lines = LiveLines();
    EraseLines();
    QString text;
    for (const QString &line : lines)
        text += line.left(200) + u'\n';
    Write(text);
    linesShown = static_cast<int>(lines.size());
}

void ConsoleView::EndLiveProgress()
{
    everySecond.stop();
    EraseLines();
}
