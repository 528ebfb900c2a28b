#include "startup/AppCore.h"
#include "app/JobListFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A field may hold a lone CR or LF: each job still prints as one line of
// seventeen fields.
TEST(ListCommandHardening, ControlCharactersInFieldsKeepOneJobOnOneLine)
{
    QTemporaryDir dir;
    AppCore app;
    app.Settings().Separator = "|";
    app.Settings().LogFile = "log\nfile";
    JobRecord job;
    job.Category = "a\rb";
    job.Url = "http://x/\n#1#";
    app.Jobs().AppendRecord(job);
    const QString list = dir.filePath("jobs.txt");
    ASSERT_TRUE(JobListFile::SaveJobList(list, app.Settings(), app.Jobs()));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("APPDATA", dir.path());
    process.setProcessEnvironment(environment);
    process.start(TAVRIN_EXECUTABLE, {"--list", list});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString printed = QString::fromUtf8(process.readAllStandardOutput());

    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QStringList lines = printed.split('\n');
    ASSERT_EQ(lines.size(), 6) << printed.toStdString();
    EXPECT_EQ(lines[1], QString("LogFile=log") + QChar(0x240A) + "file");
    const QStringList fields = lines[4].split('\t');
    ASSERT_EQ(fields.size(), 17) << lines[4].toStdString();
    EXPECT_EQ(fields[2], QString("a") + QChar(0x240D) + "b");
    EXPECT_EQ(fields[3], QString("http://x/") + QChar(0x240A) + "#1#");
    EXPECT_FALSE(printed.contains('\r'));
}
