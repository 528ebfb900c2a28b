#include "platform/Environment.h"

#include "support/ScopedEnvironment.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Environment, FoldersFallBackWhenTheirVariablesAreUnsetOrEmpty)
{
    QTemporaryDir systemTemp;
    const QString systemTempPath = QDir(systemTemp.path()).canonicalPath();
    ScopedEnvironment env;
    env.Set("HOME", "/home/tester");
    env.Unset("XDG_DATA_HOME");
    env.Unset("XDG_CONFIG_HOME");
    env.Set("TMPDIR", systemTempPath.toLocal8Bit());
    for (const char *value : {static_cast<const char *>(nullptr), ""}) {
        value ? env.Set("TEMP", value) : env.Unset("TEMP");
        value ? env.Set("APPDATA", value) : env.Unset("APPDATA");
        EXPECT_EQ(TempFolder(), systemTempPath);
        EXPECT_EQ(DataFolderBase(), "/home/tester/.local/share");
    }
    env.Set("TEMP", "/custom/temp");
    env.Set("APPDATA", "/custom/appdata");
    EXPECT_EQ(TempFolder(), "/custom/temp");
    EXPECT_EQ(DataFolderBase(), "/custom/appdata");
}
