#include "platform/FileSystem.h"
#include "platform/FolderCreationError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }

    QString At(const QString &relative) const { return temp.filePath(relative); }

    void WriteFile(const QString &relative) const
    {
        QFile file(At(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir temp;
};

} // namespace

TEST_F(FileSystemTest, FileExistsOnlyForOrdinaryVisibleFiles)
{
    WriteFile("plain.jpg");
    WriteFile(".hidden");
    ASSERT_TRUE(QDir(temp.path()).mkdir("folder"));

    EXPECT_TRUE(FileExists(At("plain.jpg")));
    EXPECT_FALSE(FileExists(At(".hidden")));
    EXPECT_FALSE(FileExists(At("folder")));
    EXPECT_FALSE(FileExists(At("missing.jpg")));
    EXPECT_FALSE(FileExists(At("plain.jpg/")));
    EXPECT_FALSE(FileExists(""));
}

TEST_F(FileSystemTest, CreateFolderPathCreatesEveryMissingLevelWithEitherSeparator)
{
    for (const QString relative : {"a/b/c", "d\\e\\f\\", "g\\h/i", "j//k/"}) {
        CreateFolderPath(At(relative));
        EXPECT_TRUE(FolderExists(At(QString(relative).replace('\\', '/')))) << relative.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(At("d\\e"))) << "a backslash must not end up in a folder name";
}

TEST_F(FileSystemTest, CreateFolderPathLeavesExistingFoldersAndTheRootAlone)
{
    WriteFile("keep.txt");
    for (const QString path : {temp.path(), temp.path() + "/", temp.path() + "\\", QString("/")})
        EXPECT_NO_THROW(CreateFolderPath(path)) << path.toStdString();
    EXPECT_TRUE(FileExists(At("keep.txt")));
}

TEST_F(FileSystemTest, CreateFolderPathThrowsWhenAFileIsInTheWay)
{
    WriteFile("blocker");
    for (const QString relative : {"blocker", "blocker/", "blocker/sub", "blocker\\sub\\deeper"})
        EXPECT_THROW(CreateFolderPath(At(relative)), FolderCreationError) << relative.toStdString();
    EXPECT_TRUE(FileExists(At("blocker")));
}
