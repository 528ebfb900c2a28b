#include "app/AppOptions.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A value that is not a whole number from 0 up leaves its option off. (Saving
// and loading, and a failed save, are checked through the Options dialog.)
TEST(AppOptions, UnreadableValuesAreOffAndAFailedSaveSaysSo)
{
    QTemporaryDir dir;
    const QString conf = AppOptions::FilePath(dir.path());
    for (const char *value : {"x", "-3", "2.5", "99999999999", "", "3 files"}) {
        ASSERT_TRUE(WriteFile(conf, QByteArray("[Options]\nUntilMissing=") + value + "\n"));
        EXPECT_EQ(AppOptions::Load(dir.path()).UntilMissing, 0) << value;
    }
    ASSERT_TRUE(WriteFile(conf, "[Options]\nUntilMissing= 12\nSomethingNew=1\n"));
    EXPECT_EQ(AppOptions::Load(dir.path()).UntilMissing, 12);
}
