#include "HardeningFixture.h"

namespace {

using HardeningTimeLimit = HardeningFixture;

// A server that trickles a byte a second never trips the stall rule; the
// overall limit stops the run as Stop does.
TEST_F(HardeningTimeLimit, MaxTimeStopsATrickleAndExitsWithOne)
{
    const QString list = SaveList({Job("/size=600/chunk=1/chunkdelay=1000/t#1#.bin", "1", "2")});

    const CliResult result = RunTavrin({"--run", "--max-time", "1.5", list});

    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    ExpectCompleted(result.out.trimmed(), 0, 0, 30);
    EXPECT_TRUE(OutFiles().isEmpty());
}

TEST_F(HardeningTimeLimit, MaxTimeNeedsAPositiveNumberAndTheRun)
{
    const QString list = SaveList({Job("/size=10/t.bin")});
    const QStringList wrong[] = {{"--run", "--max-time", "x", list}, {"--run", "--max-time", "0", list},
                                 {"--run", "--max-time", "-3", list}, {"--list", "--max-time", "5", list},
                                 {"--run", list, "--max-time"}};
    for (const QStringList &arguments : wrong) {
        const CliResult result = RunTavrin(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
    const CliResult generous = RunTavrin({"--run", "--max-time", "600", list});
    EXPECT_EQ(generous.exitCode, 0) << generous.err.toStdString();
}

} // namespace
