#include "cli/ConsoleView.h"

#include "engine/FetchEngine.h"

#include <cstdio>

namespace {

constexpr int RedrawInterval = 100; // ms

} // namespace

ConsoleView::ConsoleView(bool liveProgress, std::FILE *errorStream) : live(liveProgress), errors(errorStream) {}

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

void ConsoleView::SetSlotValue(int slot, int32_t value)
{
    if (slot >= 0 && slot < static_cast<int>(slotValues.size()))
        slotValues[static_cast<size_t>(slot)] = value;
    Redraw();
}

QStringList ConsoleView::LiveLines() const
{
    QStringList lines;
    for (const FetchEngine::BusyDownload &download : watched->BusyDownloads()) {
        const int32_t percent = slotValues.at(static_cast<size_t>(download.Slot));
        lines << QStringLiteral("  [%1] %2%  %3").arg(download.Slot + 1).arg(percent, 3).arg(download.Url);
    }
    lines << QStringLiteral("%1%  %2").arg(overallValue, 3).arg(overallText);
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
    if (!live || !watched)
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
    EraseLines();
}
