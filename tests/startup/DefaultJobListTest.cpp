#include "startup/AppCore.h"

#include "support/JobLists.h"
#include "support/ScopedEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class MessageRecorder : public RunView {
public:
    QStringList Messages;
    void ShowMessage(const QString &text) override { Messages << text; }
};

enum class List { None, Beside, Data, Invalid };

// A program folder laid out as an install leaves it (<prefix>/bin with the
// marker in <prefix>/share/tavrin/) or as a build folder, a data folder, and
// lists beside the program and in the data folder whose jobs tell them apart.
class DefaultJobListTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    ScopedEnvironment env;

    DefaultJobListTest() { env.Set("APPDATA", root.filePath("appdata").toLocal8Bit()); }

    QString DataFolder() const { return root.filePath("appdata/Velmora"); }

    QString LayOut(const QString &programFolder, bool marker)
    {
        const QString program = root.filePath(programFolder);
        QDir().mkpath(program);
        if (marker) {
            QDir().mkpath(program + "/../share/tavrin");
            EXPECT_TRUE(WriteFile(program + "/../share/tavrin/installed", "installed\n"));
        }
        return program;
    }

    static void SaveList(const QString &path, const QString &category, int jobs)
    {
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(SaveJobs(path, std::vector<JobRecord>(size_t(jobs), JobRecord{"1", category})));
    }
};

} // namespace

// Where start-up reads the list when the command line names none (or names
// a file that is not there): beside a portable program as always; for an
// installed one beside it only when a list is there, else in the data
// folder, where a missing list is the first start and shows no message.
TEST_F(DefaultJobListTest, PortableProgramsKeepTheListBesideThemInstalledOnesInTheDataFolder)
{
    struct Case {
        const char *name;
        const char *programFolder;
        bool marker;
        List beside, data;
        const char *commandLine;
        int messages;
        int rows;
        const char *firstCategory;
    } cases[] = {
        {"build folder", "build", false, List::None, List::Data, "", 1, 10, "Cat"},
        {"portable with its list", "build", false, List::Beside, List::Data, "", 0, 1, "beside"},
        {"a bin folder without the marker", "plain/bin", false, List::None, List::Data, "", 1, 10, "Cat"},
        {"the marker but not in bin", "odd/build", true, List::None, List::Data, "", 1, 10, "Cat"},
        {"installed, first start", "usr/bin", true, List::None, List::None, "", 0, 10, "Cat"},
        {"installed, the user's list", "usr/bin", true, List::None, List::Data, "", 0, 2, "data"},
        {"installed, a list beside it", "usr/bin", true, List::Beside, List::Data, "", 0, 1, "beside"},
        {"installed, a broken list", "usr/bin", true, List::None, List::Invalid, "", 1, 10, "Cat"},
        {"installed, a missing file named", "usr/bin", true, List::None, List::Data, "missing.txt", 0, 2, "data"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString program = LayOut(c.programFolder, c.marker);
        QFile::remove(program + "/TvData.txt");
        QFile::remove(DataFolder() + "/TvData.txt");
        if (c.beside == List::Beside)
            SaveList(program + "/TvData.txt", "beside", 1);
        if (c.data == List::Data)
            SaveList(DataFolder() + "/TvData.txt", "data", 2);
        if (c.data == List::Invalid) {
            ASSERT_TRUE(WriteFile(DataFolder() + "/TvData.txt", "not a job list"));
        }

        MessageRecorder view;
        AppCore app;
        app.Settings().ProgramFolder = program;
        app.SetView(&view);
        app.StartUp(c.commandLine[0] ? root.filePath(c.commandLine) : QString());
        EXPECT_EQ(view.Messages.size(), c.messages) << view.Messages.join('\n').toStdString();
        ASSERT_EQ(app.LG().ItemCount(), c.rows);
        EXPECT_EQ(app.Jobs().Record(app.LG().ItemData(0)).Category.toString(), c.firstCategory);
    }
}
