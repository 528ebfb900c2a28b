#pragma once

#include "engine/RunView.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdio>

class FetchEngine;

// The command-line front's view. Messages go to standard error. With live
// progress (standard error is a terminal) a run shows one line per busy slot
// and the overall line, redrawn in place at most ten times a second;
// otherwise nothing else is printed.
class ConsoleView : public RunView {
public:
    // Everything goes to errors (standard error unless a test says).
    explicit ConsoleView(bool live = false, std::FILE *errors = stderr);

    void ShowMessage(const QString &text) override;
    bool MessageShown() const;

    // The engine whose downloads the live lines show.
    void Watch(const FetchEngine &engine);
    void SetOverallValue(int32_t value) override;
    void SetOverallText(const QString &text) override;
    void SetSlotValue(int slot, int32_t value) override;
    // Removes the live lines (before the summary is printed).
    void EndLiveProgress();

private:
    void Redraw(bool force = false);
    QStringList LiveLines() const;
    void EraseLines();
    void Write(const QString &text);

    bool live;
    std::FILE *errors;
    bool messageShown = false;
    const FetchEngine *watched = nullptr;
    std::array<int32_t, 9> slotValues{};
    int32_t overallValue = 0;
    QString overallText;
    int linesShown = 0;
    QElapsedTimer sinceRedraw;
};
