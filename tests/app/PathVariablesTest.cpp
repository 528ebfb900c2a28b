#include "app/PathVariables.h"

#include "platform/FileSystem.h"
#include "support/ScopedEnvironment.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ReplaceToken, ReplacesEveryOccurrenceOnceWithoutRegardToCase)
{
    const char *cases[][4] = {
        // text, token, value, expected
        {"a%X%b%x%c", "%X%", "1", "a1b1c"},
        {"%temp%", "%TEMP%", "<%Temp%>", "<%Temp%>"},
        {"%X%", "%X%", "%X%%X%", "%X%%X%"},
        {"%%X%%", "%X%", "v", "%v%"},
        {"aaa", "aa", "b", "ba"},
        {"abc", "%X%", "v", "abc"},
        {"", "%X%", "v", ""},
        {"abc", "", "v", "abc"},
    };
    for (const auto &c : cases) {
        QString text = c[0];
        ReplaceToken(text, c[1], c[2]);
        EXPECT_EQ(text, c[3]) << c[0] << " / " << c[1];
    }
}

namespace {

// Every path variable points into a temporary folder, so resolution can
// create what it likes.
class PathVariablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = temp.path();
        dataFolder = root + "/data";
        env.Set("TEMP", (root + "/tempvar").toLocal8Bit());
        env.Set("HOME", (root + "/home").toLocal8Bit());
        env.Unset("XDG_CONFIG_HOME");
        env.Set("SystemRoot", (root + "/win").toLocal8Bit());
        env.Set("WinDir", (root + "/windir").toLocal8Bit());
    }

    // "{T}" stands for the temporary folder, "{P}" for the program folder.
    QString Fill(const char *pattern) const
    {
        return QString::fromUtf8(pattern).replace("{T}", root).replace("{P}", QCoreApplication::applicationDirPath());
    }
    QString Resolved(QString folder) const
    {
        ResolveOutputFolder(folder, dataFolder);
        return folder;
    }
    QString Expanded(QString command) const
    {
        ExpandCommandPathVariables(command, dataFolder);
        return command;
    }

    QTemporaryDir temp;
    ScopedEnvironment env;
    QString root;
    QString dataFolder;
};

} // namespace

// Other %NAME%s stay as written (here a folder relative to the current one);
// a folder that cannot be created resolves to "", and so do a Windows
// drive path, which names nothing here and creates nothing, and an empty
// folder, which would be the root.
TEST_F(PathVariablesTest, ResolveExpandsSeparatesAndCreatesTheFolder)
{
    ASSERT_TRUE(WriteFile(root + "/blocker", ""));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root));
    const char *cases[][2] = {
        {"%APPDATA%\\Pics", "{T}/data/Pics/"},
        {"%appdata%\\Pics", "{T}/data/Pics/"},
        {"%TEMP%\\t", "{T}/tempvar/t/"},
        {"%MyDoc%", "{T}/home/Documents/"},
        {"%SYS32%\\drivers", "{T}/win/system32/drivers/"},
        {"%windir%", "{T}/windir/"},
        {"%APPPATH%", "{P}/"},
        {"{T}\\Pics", "{T}/Pics/"},
        {"{T}/Pics/", "{T}/Pics/"},
        {"", ""},
        {"%USERPROFILE%\\Pics", "%USERPROFILE%/Pics/"},
        {"{T}\\blocker\\sub", ""},
        {"{T}/blocker", ""},
        {"C:\\Pics", ""},
        {"D:", ""},
    };
    for (const auto &c : cases) {
        const QString expected = Fill(c[1]);
        EXPECT_EQ(Resolved(Fill(c[0])), expected) << c[0];
        EXPECT_TRUE(expected.isEmpty() || FolderExists(expected)) << c[0];
    }
    QDir::setCurrent(previous);
    EXPECT_TRUE(FolderExists(root + "/%USERPROFILE%/Pics"));
    EXPECT_EQ(QDir(root).entryList({"*:*"}, QDir::AllEntries), QStringList());
}

TEST_F(PathVariablesTest, CommandLineExpansionCreatesNothing)
{
    const char *cases[][2] = {
        {"%TEMP%", "{T}/tempvar"},
        {"tool %appdata%\\a %Temp% %MYDOC%", "tool {T}/data\\a {T}/tempvar {T}/home/Documents"},
        {"%SYS32%\\cmd %WINDIR% %AppPath%", "{T}/win/system32\\cmd {T}/windir {P}"},
        {"echo %USERPROFILE% #OUT#", "echo %USERPROFILE% #OUT#"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Expanded(Fill(c[0])), Fill(c[1])) << c[0];
    EXPECT_FALSE(FolderExists(root + "/tempvar"));
    EXPECT_FALSE(FolderExists(root + "/data"));

    env.Unset("SystemRoot");
    EXPECT_EQ(Expanded("run %SYS32%x"), "run x");
    EXPECT_EQ(Resolved(root + "%SYS32%"), root + "/system32/") << "an output folder keeps /system32";
}

// A value put in by one variable is searched for the variables replaced
// after it, and the two expansions replace in different orders.
TEST_F(PathVariablesTest, ValuesAreSearchedForLaterVariables)
{
    env.Set("TEMP", "%MYDOC%/fromtemp");
    EXPECT_EQ(Resolved("%TEMP%"), root + "/home/Documents/fromtemp/");
    EXPECT_EQ(Expanded("%TEMP%"), root + "/home/Documents/fromtemp");

    env.Set("TEMP", (root + "/tempvar").toLocal8Bit());
    env.Set("WinDir", (root + "/w%TEMP%").toLocal8Bit());
    EXPECT_EQ(Resolved("%WINDIR%"), root + "/w%TEMP%/");
    EXPECT_EQ(Expanded("%WINDIR%"), root + "/w" + root + "/tempvar");

    dataFolder = root + "/d%MYDOC%";
    EXPECT_EQ(Resolved("%APPDATA%"), root + "/d%MYDOC%/");
    EXPECT_EQ(Expanded("%APPDATA%"), root + "/d" + root + "/home/Documents");
}
