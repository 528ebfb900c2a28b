#include "cli/ConsoleView.h"
#include "engine/RunIntegrationFixture.h"

#include <QFile>
#include <QRegularExpression>
#include <cstdio>

using ConsoleViewCli = RunIntegrationFixture;

// On a terminal, during one run of two slowly arriving files one after the
// other: a line per busy download with its slot, percentage and URL, the
// overall line, each redraw first erasing the lines shown before, and
// nothing left on screen at the end.
TEST_F(ConsoleViewCli, LiveProgressShowsEachBusyDownloadAndErasesItself)
{
    std::FILE *errors = std::tmpfile();
    ConsoleView console(true, errors);
    app.SetView(&console);
    console.Watch(app.Engine());
    app.Settings().NumDLs = 1;
    Add(Job("/size=60000/chunk=6000/chunkdelay=40/slow#1#.bin", "1", "2"));
    ASSERT_TRUE(Run());
    console.EndLiveProgress();
    app.SetView(&view);
    std::rewind(errors);
    QFile file;
    ASSERT_TRUE(file.open(errors, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    const QString written = QString::fromLocal8Bit(file.readAll());

    // Split into drawings at the erase sequences; each erase goes up exactly
    // as many lines as the drawing before it put on screen.
    static const QRegularExpression erase(R"(\x1b\[(\d+)A\r\x1b\[J)");
    QStringList drawings;
    qsizetype from = 0;
    for (const QRegularExpressionMatch &match : erase.globalMatch(written)) {
        drawings << written.mid(from, match.capturedStart() - from);
        EXPECT_EQ(match.captured(1).toInt(), drawings.last().count(u'\n')) << written.toStdString();
        from = match.capturedEnd();
    }
    EXPECT_EQ(from, written.size()) << "the live lines are gone at the end";
    const QRegularExpression busyLine(
        R"(^  \[1\] +\d+%  http://127\.0\.0\.1:\d+/\S+/slow[12]\.bin$)", QRegularExpression::MultilineOption);
    const QRegularExpression overallLine(
        R"(^ +50%  Found 1, Scanned 1 out of 2 Files\.$)", QRegularExpression::MultilineOption);
    EXPECT_FALSE(drawings.filter(busyLine).isEmpty()) << written.toStdString();
    EXPECT_FALSE(drawings.filter(overallLine).isEmpty()) << written.toStdString();
    ExpectCompleted(app.Engine().LastSummary(), 2, 118, 30);
}
