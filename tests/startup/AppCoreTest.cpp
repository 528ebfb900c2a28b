#include "startup/AppCore.h"
#include "app/JobListFile.h"
#include "support/ScopedEnvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct MessageRecorder : RunView {
    QStringList messages;
    void ShowMessage(const QString &text) override { messages << text; }
};

class AppCoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScopedEnvironment env;
    MessageRecorder view;
    AppCore app;

    void SetUp() override
    {
        QDir().mkpath(dir.filePath("appdata"));
        env.Set("APPDATA", dir.filePath("appdata").toLocal8Bit());
        app.SetView(&view);
    }
};

} // namespace

// The window's start-up tests load a quoted list; a command line that names
// a folder or a hidden file names no list either.
TEST_F(AppCoreTest, ACommandLineThatNamesNoFileFallsBackToTheProgramFolder)
{
    {
        AppCore other;
        other.Jobs().AppendRecord(JobRecord{"", "a"});
        ASSERT_TRUE(JobListFile::SaveJobList(dir.filePath(".hidden.txt"), other.Settings(), other.Jobs()));
    }
    for (const QString &commandLine : {dir.filePath("missing.txt"), dir.path(), dir.filePath(".hidden.txt")}) {
        AppCore fresh;
        MessageRecorder recorder;
        fresh.SetView(&recorder);
        fresh.StartUp(commandLine);
        ASSERT_EQ(recorder.messages.size(), 1) << commandLine.toStdString();
        EXPECT_TRUE(recorder.messages[0].startsWith("Unable to load: ") && recorder.messages[0].contains("TvData.txt"));
        EXPECT_EQ(fresh.LG().ItemCount(), 10) << "ten default jobs";
    }
}

TEST_F(AppCoreTest, FillGridLeavesDeletedJobsOutAndKeepsRecordIndexes)
{
    app.Jobs().SetupJobGrid();
    for (int i = 0; i < 5; ++i)
        app.Jobs().AppendRecord();
    app.Jobs().Record(2).Deleted = true;
    app.FillGrid();
    ASSERT_EQ(app.LG().ItemCount(), 4);
    const int expected[] = {1, 3, 4, 5};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(app.LG().ItemData(row), expected[row]);
}
