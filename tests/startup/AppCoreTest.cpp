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

    // A list with one job per category given, saved by the program itself.
    QString SaveList(const QString &name, const QStringList &categories)
    {
        AppCore other;
        other.Settings().NumDLs = 6;
        for (const QString &category : categories)
            other.Jobs().AppendRecord(JobRecord{"", category});
        const QString path = dir.filePath(name);
        EXPECT_TRUE(JobListFile::SaveJobList(path, other.Settings(), other.Jobs()));
        return path;
    }
};

} // namespace

TEST_F(AppCoreTest, AQuotedCommandLinePathWithBlanksIsLoaded)
{
    const QString path = SaveList("my jobs.txt", {"a", "b"});
    app.StartUp("  \"" + path + "\"  ");
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_EQ(app.CommandLineListPath(), path);
    ASSERT_EQ(app.LG().ItemCount(), 2);
    EXPECT_EQ(app.LG().CellText(1, JobColCategory), "b");
    EXPECT_EQ(app.Settings().NumDLs, 6);
    EXPECT_TRUE(QDir(dir.filePath("appdata/Velmora")).exists()) << "the data folder is created";
}

TEST_F(AppCoreTest, ACommandLineThatNamesNoFileFallsBackToTheProgramFolder)
{
    SaveList(".hidden.txt", {"a"});
    for (const QString &commandLine : {dir.filePath("missing.txt"), dir.path(), dir.filePath(".hidden.txt")}) {
        AppCore fresh;
        MessageRecorder recorder;
        fresh.SetView(&recorder);
        fresh.StartUp(commandLine);
        EXPECT_EQ(fresh.CommandLineListPath(), "");
        ASSERT_EQ(recorder.messages.size(), 1) << commandLine.toStdString();
        EXPECT_TRUE(recorder.messages[0].startsWith("Unable to load: ") && recorder.messages[0].contains("TvData.txt"));
        EXPECT_EQ(fresh.LG().ItemCount(), 10) << "ten default jobs";
        EXPECT_EQ(fresh.Settings().NumDLs, 3);
    }
}

TEST_F(AppCoreTest, FillGridLeavesDeletedJobsOutAndKeepsRecordIndexes)
{
    app.Jobs().SetupJobGrid();
    for (int i = 0; i < 5; ++i)
        app.Jobs().AppendRecord();
    app.Jobs().Record(2).Deleted = true;
    app.Settings().NumDLs = 8;
    app.FillGrid();
    ASSERT_EQ(app.LG().ItemCount(), 4);
    const int expected[] = {1, 3, 4, 5};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(app.LG().ItemData(row), expected[row]);
    EXPECT_EQ(app.Settings().NumDLs, 8) << "slots are reset only with the default jobs";
}
