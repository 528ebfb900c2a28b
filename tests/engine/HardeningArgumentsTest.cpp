#include "HardeningFixture.h"

namespace {

// Output folders and names with blanks, quotes, ";" and "$(...)": every
// path reaches the program as one argument, and nothing else runs.
class HardeningArguments : public HardeningFixture {
protected:
    const QString folder = dir.filePath("out dir/it's \"here\"");
    const QString prefix = "a b;'c' \"d\" $(touch pwned) `touch pwned2`;";

    JobRecord Hostile(const QString &name)
    {
        JobRecord job = Job("/size=10/" + name + "#1#.jpg", "1", "2", "", prefix);
        job.Output = folder;
        return job;
    }
    QString Path(const QString &name) const { return folder + "/" + prefix + name; }
    void ExpectNothingElseRan() const
    {
        for (const QString &where : {dir.path(), QDir::currentPath(), folder})
            EXPECT_TRUE(QDir(where).entryList({"pwned*"}).isEmpty()) << where.toStdString();
    }
};

TEST_F(HardeningArguments, PerFileEveryPathAndNameIsOneArgument)
{
    Add(WithCommand(Hostile("f"), ArgumentsScript() + " #FILEPATH# #FILE# #FILENAME#"));

    ASSERT_TRUE(Run());

    EXPECT_EQ(ArgumentLines(), (QStringList{Path("f1.jpg"), prefix + "f1.jpg", prefix + "f1",
                                            Path("f2.jpg"), prefix + "f2.jpg", prefix + "f2"}));
    EXPECT_EQ(Logged("  Command (1): "), QStringList{"  Command (1): " + ArgumentsScript() + " " + Path("f1.jpg")
                                                     + " " + prefix + "f1.jpg " + prefix + "f1"})
        << "the log shows the command line filled in";
    ExpectNothingElseRan();
}

// One call with a blank separator: a placeholder standing alone gives one
// argument per file; inside a longer argument, or with another separator,
// the joined list stays one argument.
TEST_F(HardeningArguments, OneCallSplitsTheListOnlyForABlankSeparator)
{
    Add(WithCommand(Hostile("g"), ArgumentsScript() + " #FILEPATH# x#FILEPATH#", "1", " "));
    Add(WithCommand(Hostile("h"), ArgumentsScript() + " #FILE#", "1", ";"));

    ASSERT_TRUE(Run());

    EXPECT_EQ(ArgumentLines(), (QStringList{Path("g1.jpg"), Path("g2.jpg"), "x" + Path("g1.jpg") + " " + Path("g2.jpg"),
                                            prefix + "h1.jpg;" + prefix + "h2.jpg"}));
    ExpectNothingElseRan();
}

// "#OUT#" is the folder the files went to, resolved as for saving: path
// variables expanded and "\" turned into "/".
TEST_F(HardeningArguments, OutIsTheFolderAsResolvedForSaving)
{
    QDir().mkpath(dir.filePath("temp dir"));
    env.Set("TEMP", dir.filePath("temp dir").toLocal8Bit());
    JobRecord job = Job("/size=10/o.jpg");
    job.Output = "%TEMP%\\Tavrin\\.1";
    Add(WithCommand(job, ArgumentsScript() + " #OUT# #OUTPUT# #FILE#"));

    ASSERT_TRUE(Run());

    const QString resolved = dir.filePath("temp dir/Tavrin/.1/");
    EXPECT_EQ(ArgumentLines(), (QStringList{resolved, resolved, "o.jpg"}));
    EXPECT_EQ(FileBytes(resolved + "o.jpg"), TestHttpServer::Body(0, 10));
}

} // namespace
