#include "engine/RunIntegrationFixture.h"

#include <QElapsedTimer>
#include <QRegularExpression>

namespace {

using ProgressLinesCli = RunIntegrationFixture;

// "3 of 4 files, 117.2 KiB, 39.1 KiB/s, 1 s left"
const QRegularExpression FiguresLine(
    R"(^(\d+) of 4 files, (\d+ B|\d+\.\d (KiB|MiB)), (\d+ B/s|\d+\.\d (KiB|MiB)/s|speed unknown), ((\d+ (s|min|h) ?)+ left|time left unknown)$)");

} // namespace

// Four files arriving slowly on one slot (about three seconds): with
// --progress lines, standard error gets plain figure lines, at most one a
// second, counting up to the files and bytes of the run; the summary alone
// goes to standard output. Without the option and without a terminal the
// same run prints nothing but the summary.
TEST_F(ProgressLinesCli, ProgressLinesShowTheRunsFiguresOnceASecond)
{
    app.Settings().NumDLs = 1;
    const QString list = SaveList({Job("/size=30000/chunk=3000/chunkdelay=70/slow#1#.bin", "1", "4")});

    QElapsedTimer clock;
    clock.start();
    const CliResult lines = RunTavrin({"--run", "--progress", "lines", list});
    const qint64 tookMs = clock.elapsed();

    ASSERT_EQ(lines.exitCode, 0) << lines.err.toStdString();
    ExpectCompleted(lines.out.trimmed(), 4, 116);
    EXPECT_FALSE(lines.err.contains(u'\x1b')) << "no cursor movement";
    EXPECT_FALSE(lines.err.contains(u'\r'));
    const QStringList written = lines.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(written.size(), 2) << lines.err.toStdString();
    EXPECT_LE(written.size(), tookMs / 1000 + 1) << lines.err.toStdString();
    int previousDone = 0;
    bool bytesCounted = false, timeLeftKnown = false;
    for (const QString &line : written) {
        const QRegularExpressionMatch match = FiguresLine.match(line);
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        EXPECT_GE(match.captured(1).toInt(), previousDone);
        previousDone = match.captured(1).toInt();
        bytesCounted = bytesCounted || match.captured(3) == "KiB";
        timeLeftKnown = timeLeftKnown || line.endsWith(" s left");
    }
    EXPECT_LE(previousDone, 4);
    EXPECT_TRUE(bytesCounted) << lines.err.toStdString();
    EXPECT_TRUE(timeLeftKnown) << lines.err.toStdString();

    const CliResult plain = RunTavrin({"--run", list});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.err, "");
    ExpectCompleted(plain.out.trimmed(), 4, 116);
    EXPECT_EQ(plain.out.count(u'\n'), 1);
}
