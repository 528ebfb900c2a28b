#include "platform/FileSystem.h"
#include "platform/FolderCreationError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *name : {"plain.jpg", ".hidden", "blocker"})
            ASSERT_TRUE(QFile(At(name)).open(QIODevice::WriteOnly));
        ASSERT_TRUE(QDir(temp.path()).mkdir("folder"));
    }
    QString At(const QString &relative) const { return temp.filePath(relative); }

    QTemporaryDir temp;
};

} // namespace

TEST_F(FileSystemTest, FileExistsOnlyForOrdinaryVisibleFiles)
{
    const std::pair<QString, bool> cases[] = {
        {At("plain.jpg"), true},    {At(".hidden"), false},    {At("folder"), false},
        {At("missing.jpg"), false}, {At("plain.jpg/"), false}, {"", false},
    };
    for (const auto &[path, exists] : cases)
        EXPECT_EQ(FileExists(path), exists) << path.toStdString();
}

// Either separator; existing folders and the root are left alone; a file in
// the way throws.
TEST_F(FileSystemTest, CreateFolderPathCreatesEveryMissingLevel)
{
    const std::pair<QString, QString> cases[] = { // path, folder to exist afterwards (empty: it throws)
        {At("a/b/c"), At("a/b/c")},          {At("d\\e\\f\\"), At("d/e/f")},  {At("g\\h/i"), At("g/h/i")},
        {At("j//k/"), At("j/k")},            {temp.path(), temp.path()},     {temp.path() + "/", temp.path()},
        {temp.path() + "\\", temp.path()},   {"/", "/"},                     {At("folder"), At("folder")},
        {At("blocker"), ""},                 {At("blocker/sub"), ""},        {At("blocker\\sub\\deeper"), ""},
    };
    for (const auto &[path, folder] : cases) {
        if (folder.isEmpty()) {
            EXPECT_THROW(CreateFolderPath(path), FolderCreationError) << path.toStdString();
        } else {
            EXPECT_NO_THROW(CreateFolderPath(path)) << path.toStdString();
            EXPECT_TRUE(FolderExists(folder)) << path.toStdString();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(At("d\\e"))) << "a backslash must not end up in a folder name";
    EXPECT_TRUE(FileExists(At("plain.jpg")));
    EXPECT_TRUE(FileExists(At("blocker")));
}
