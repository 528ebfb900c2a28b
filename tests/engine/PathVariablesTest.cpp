#include "engine/PathVariables.h"

#include "platform/FileSystem.h"
#include "platform/ScopedEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

struct TokenCase {
    const char *text;
    const char *token;
    const char *value;
    const char *expected;
};

TEST(ReplaceToken, ReplacesEveryOccurrenceOnceWithoutRegardToCase)
{
    const TokenCase cases[] = {
        {"a%X%b%x%c", "%X%", "1", "a1b1c"},   {"%temp%", "%TEMP%", "<%Temp%>", "<%Temp%>"},
        {"%X%", "%X%", "%X%%X%", "%X%%X%"},   {"%%X%%", "%X%", "v", "%v%"},
        {"aaa", "aa", "b", "ba"},              {"abc", "%X%", "v", "abc"},
        {"", "%X%", "v", ""},                  {"abc", "", "v", "abc"},
    };
    for (const TokenCase &c : cases) {
        QString text = c.text;
        ReplaceToken(text, c.token, c.value);
        EXPECT_EQ(text, c.expected) << c.text << " / " << c.token;
    }
}

namespace {

struct FolderCase {
    const char *folder;
    const char *expected;
};

// Every path variable points into a temporary folder, so resolution can
// create what it likes.
class PathVariablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        root = temp.path();
        dataFolder = root + "/data";
        env.Set("TEMP", (root + "/tempvar").toLocal8Bit());
        env.Set("HOME", (root + "/home").toLocal8Bit());
        env.Unset("XDG_CONFIG_HOME");
        env.Set("SystemRoot", (root + "/win").toLocal8Bit());
        env.Set("WinDir", (root + "/windir").toLocal8Bit());
    }

    // In a case, "{T}" stands for the temporary folder, "{P}" for the
    // program folder.
    QString Fill(const char *pattern) const
    {
        return QString::fromUtf8(pattern).replace("{T}", root).replace("{P}", QCoreApplication::applicationDirPath());
    }

    QString Resolved(const QString &folder) const
    {
        QString result = folder;
        ResolveOutputFolder(result, dataFolder);
        return result;
    }

    QString Expanded(const QString &command) const
    {
        QString result = command;
        ExpandCommandPathVariables(result, dataFolder);
        return result;
    }

    QTemporaryDir temp;
    ScopedEnvironment env;
    QString root;
    QString dataFolder;
};

} // namespace

TEST_F(PathVariablesTest, ResolveExpandsSeparatesAndCreatesTheFolder)
{
    const FolderCase cases[] = {
        {"%APPDATA%\\Pics", "{T}/data/Pics/"},  {"%appdata%\\Pics", "{T}/data/Pics/"},
        {"%AppData%/Pics/", "{T}/data/Pics/"},  {"%TEMP%\\t", "{T}/tempvar/t/"},
        {"%MyDoc%", "{T}/home/Documents/"},     {"%SYS32%\\drivers", "{T}/win/system32/drivers/"},
        {"%windir%", "{T}/windir/"},            {"%APPPATH%", "{P}/"},
        {"{T}\\Pics", "{T}/Pics/"},             {"{T}\\Pics\\", "{T}/Pics/"},
        {"{T}/Pics/", "{T}/Pics/"},             {"", "/"},
    };
    for (const FolderCase &c : cases) {
        const QString expected = Fill(c.expected);
        EXPECT_EQ(Resolved(Fill(c.folder)), expected) << c.folder;
        EXPECT_TRUE(FolderExists(expected)) << c.folder;
    }
}

TEST_F(PathVariablesTest, OtherPercentNamesStayAsARelativeFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root));
    EXPECT_EQ(Resolved("%USERPROFILE%\\Pics"), "%USERPROFILE%/Pics/");
    QDir::setCurrent(previous);
    EXPECT_TRUE(FolderExists(root + "/%USERPROFILE%/Pics"));
}

TEST_F(PathVariablesTest, AnUncreatableFolderResolvesToEmpty)
{
    QFile blocker(root + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(Resolved(root + "\\blocker\\sub"), "");
    EXPECT_EQ(Resolved(root + "/blocker"), "");
}

TEST_F(PathVariablesTest, System32WithoutSystemRoot)
{
    env.Unset("SystemRoot");
    EXPECT_EQ(Resolved(root + "%SYS32%"), root + "/system32/");
    EXPECT_EQ(Expanded("run %SYS32%x"), "run x");
}

TEST_F(PathVariablesTest, CommandLineExpansionAppendsAndCreatesNothing)
{
    const FolderCase cases[] = {
        {"%TEMP%", "{T}/tempvar"},
        {"tool %appdata%\\a %Temp% %MYDOC%", "tool {T}/data\\a {T}/tempvar {T}/home/Documents"},
        {"%SYS32%\\cmd %WINDIR% %AppPath%", "{T}/win/system32\\cmd {T}/windir {P}"},
        {"echo %USERPROFILE% #OUT#", "echo %USERPROFILE% #OUT#"},
    };
    for (const FolderCase &c : cases)
        EXPECT_EQ(Expanded(Fill(c.folder)), Fill(c.expected)) << c.folder;
    EXPECT_FALSE(FolderExists(root + "/tempvar"));
    EXPECT_FALSE(FolderExists(root + "/data"));
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
