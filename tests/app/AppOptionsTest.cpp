#include "app/AppOptions.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void WriteConf(const QString &folder, const QByteArray &text)
{
    QFile file(AppOptions::FilePath(folder));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

} // namespace

// A fresh data folder means every option off; what is saved comes back, as
// an INI file that a person can read.
TEST(AppOptions, AFreshFolderMeansEveryOptionOffAndSavedOptionsComeBack)
{
    QTemporaryDir dir;
    EXPECT_EQ(AppOptions::Load(dir.path()).UntilMissing, 0);
    EXPECT_FALSE(QFile::exists(AppOptions::FilePath(dir.path())));

    AppOptions options;
    options.UntilMissing = 7;
    ASSERT_TRUE(options.Save(dir.path()));
    EXPECT_EQ(AppOptions::Load(dir.path()).UntilMissing, 7);
    EXPECT_EQ(QString::fromUtf8(FileBytes(dir.filePath("Tavrin.conf"))).split('\n', Qt::SkipEmptyParts), (QStringList{"[Options]", "UntilMissing=7"}));

    options.UntilMissing = 0;
    ASSERT_TRUE(options.Save(dir.path()));
    EXPECT_EQ(AppOptions::Load(dir.path()).UntilMissing, 0);
}

// A value that is not a whole number from 0 up leaves its option off; a
// file that cannot be written is named in the message.
TEST(AppOptions, UnreadableValuesAreOffAndAFailedSaveSaysSo)
{
    QTemporaryDir dir;
    for (const char *value : {"x", "-3", "2.5", "99999999999", "", "3 files"}) {
        WriteConf(dir.path(), QByteArray("[Options]\nUntilMissing=") + value + "\n");
        EXPECT_EQ(AppOptions::Load(dir.path()).UntilMissing, 0) << value;
    }
    WriteConf(dir.path(), "[Options]\nUntilMissing= 12\nSomethingNew=1\n");
    EXPECT_EQ(AppOptions::Load(dir.path()).UntilMissing, 12);

    const QString blocked = dir.filePath("blocked");
    ASSERT_TRUE(QDir().mkpath(AppOptions::FilePath(blocked)));
    AppOptions options;
    options.UntilMissing = 3;
    QString message;
    EXPECT_FALSE(options.Save(blocked, &message));
    EXPECT_EQ(message, "Unable to save: " + AppOptions::FilePath(blocked));
}
