#pragma once

#include "engine/RunView.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdio>

class FetchEngine;

// How a run shows its progress on standard error: not at all; live, redrawn
// in place on a terminal; or as one plain line a second (for logs, pipes and
// screen readers).
enum class ProgressReadout { None, Live, Lines };

// The command-line front's view. Messages go to standard error. With live
// progress a run shows two lines per busy slot (its percentage and URL, then
// its bytes and speed) and the overall lines (the "Found ..." text, then the
// files, bytes, speed and time left), redrawn in place at most ten times a
// second and at least once a second. With progress lines it writes the
// overall figures once a second, without cursor movement.
class ConsoleView : public RunView {
public:
    // Everything goes to errors (standard error unless a test says).
    explicit ConsoleView(bool live = false, std::FILE *errors = stderr);
    explicit ConsoleView(ProgressReadout readout, std::FILE *errors = stderr);

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
    void Tick();

    ProgressReadout readout;
    std::FILE *errors;
    bool messageShown = false;
    const FetchEngine *watched = nullptr;
    QTimer everySecond;
    int32_t overallValue = 0;
    QString overallText;
    int linesShown = 0;
    QElapsedTimer sinceRedraw;
};
