#include "HardeningFixture.h"

#include "engine/FetchEngineProbe.h"
#include "engine/DownloadedBody.h"
#include "platform/SpoolFile.h"

#include <QStorageInfo>

#include <sys/stat.h>

namespace {

using HardeningTarget = HardeningFixture;

bool OnOtherFileSystem(const QString &a, const QString &b)
{
    struct stat first = {}, second = {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev != second.st_dev;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// While bodies arrive, the output folder holds the finished targets and
// nothing else: a program looking at it never sees a half body.
TEST_F(HardeningTarget, AnUnfinishedBodyHasNoNameInTheFolder)
{
    QDir().mkpath(OutFolder());
    WriteFile(Out("t1.bin"), "old");
    Add(Job("/size=6000/chunk=1000/chunkdelay=100/t#1#.bin", "1", "2"));
    QStringList seen;
    for (int i = 0; i < 9; ++i)
        QObject::connect(&FetchEngineProbe::Download(app.Engine(), i), &FileDL::DownloadProgress,
                         [&] { seen << OutFiles(); });

    ASSERT_TRUE(Run());

    ASSERT_FALSE(seen.isEmpty());
    seen.removeDuplicates();
    for (const QString &name : seen)
        EXPECT_TRUE(name == "t1.bin" || name == "t2.bin") << name.toStdString();
    EXPECT_EQ(OutFiles(), (QStringList{"t1.bin", "t2.bin"}));
    EXPECT_EQ(FileBytes(Out("t1.bin")), TestHttpServer::Body(0, 6000));
}

// A server that resets the connection, lies about the length, breaks off or
// fails: the existing target keeps its bytes and nothing else appears.
TEST_F(HardeningTarget, AFailedDownloadLeavesTheExistingTargetAsItWas)
{
    const QString routes[] = {"/size=300000/reset=100000/", "/size=5000/length=90000/", "/size=300000/drop=70000/",
                              "/size=5000/status=500/"};
    QDir().mkpath(OutFolder());
    for (int i = 0; i < 4; ++i) {
        WriteFile(Out(QString("keep%1.bin").arg(i)), "precious");
        Add(Job(routes[i] + QString("keep%1.bin").arg(i)));
    }

    ASSERT_TRUE(Run());

    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(FileBytes(Out(QString("keep%1.bin").arg(i))), "precious") << routes[i].toStdString();
    EXPECT_EQ(OutFiles().size(), 4);
    EXPECT_EQ(Logged("File Download Error: ").size(), 4);
    ExpectSummary(0, 0);
}

// A body that could not be spooled in the target's folder lies elsewhere:
// saving it would be a copy, which could leave half a target, so the save
// fails and the target stays byte-identical.
TEST_F(HardeningTarget, ASaveThatCannotBeARenameFailsAndKeepsTheTarget)
{
    const QString elsewhere = "/dev/shm";
    QDir().mkpath(OutFolder());
    if (!QFileInfo(elsewhere).isDir() || !OnOtherFileSystem(elsewhere, OutFolder()))
        GTEST_SKIP() << "needs a second file system";
    WriteFile(Out("target.bin"), "precious");
    DownloadedBody body;
    ASSERT_TRUE(body.Create(elsewhere));
    const QByteArray bytes = TestHttpServer::Body(0, 3 * 1024 * 1024);
    ASSERT_TRUE(body.Append(bytes.constData(), bytes.size()));
    body.Close();

    QString reason;
    EXPECT_FALSE(body.SaveTo(Out("target.bin"), &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(FileBytes(Out("target.bin")), "precious");
    EXPECT_EQ(OutFiles(), QStringList{"target.bin"});
}

// Where unnamed files are refused, the named spool file is hidden, becomes
// the target by a rename, and goes when the body goes or on demand (the
// second Ctrl+C).
TEST_F(HardeningTarget, ANamedSpoolFileIsRenamedOrRemovedNeverLeft)
{
    QDir().mkpath(OutFolder());
    SpoolFile::AllowUnnamedFiles(false);
    const QStringList hiddenOnly = QDir(OutFolder()).entryList(QDir::Files);
    {
        DownloadedBody saved, dropped, removed;
        for (DownloadedBody *body : {&saved, &dropped, &removed}) {
            ASSERT_TRUE(body->Create(OutFolder()));
            ASSERT_TRUE(body->Append("abc", 3));
            body->Close();
            EXPECT_TRUE(body->IsNamed());
        }
        EXPECT_EQ(QDir(OutFolder()).entryList({".tavrin-*.part"}, QDir::Files | QDir::Hidden).size(), 3);
        EXPECT_EQ(QDir(OutFolder()).entryList(QDir::Files), hiddenOnly) << "spool files are hidden";
        EXPECT_TRUE(saved.SaveTo(Out("named.bin")));
        SpoolFile::RemoveNamedFiles();
        EXPECT_EQ(OutFiles(), QStringList{"named.bin"}) << "removed on demand";
    }
    SpoolFile::AllowUnnamedFiles(true);
    EXPECT_EQ(OutFiles(), QStringList{"named.bin"});
    EXPECT_EQ(FileBytes(Out("named.bin")), "abc");
}

// Never answered from a cache, a caching proxy's included.
TEST_F(HardeningTarget, EveryRequestAsksPastAnyCache)
{
    Add(Job("/size=10/c#1#.bin", "1", "2"));

    ASSERT_TRUE(Run());

    const QStringList heads = server.Heads();
    ASSERT_EQ(heads.size(), 2);
    for (const QString &head : heads) {
        const QStringList lines = head.split("\r\n");
        EXPECT_TRUE(lines.contains("Cache-Control: no-cache", Qt::CaseInsensitive)) << head.toStdString();
        EXPECT_TRUE(lines.contains("Pragma: no-cache", Qt::CaseInsensitive)) << head.toStdString();
    }
}

// SIGKILL in the middle of nine downloads: the folder holds complete targets
// only, never a partial body under any name.
TEST_F(HardeningTarget, AKilledRunLeavesOnlyCompleteTargets)
{
    JobRecord job = Job("/size=400000/chunk=20000/chunkdelay=#1#0/k#1#.bin", "1", "18");
    app.Settings().NumDLs = 9;
    const QString list = SaveList({job});

    const CliResult result = RunTavrin({"--run", list}, [&](QProcess &process) {
        WaitFor(process, [&] { return server.Requests().size() >= 9 && !OutFiles().isEmpty(); });
        ::kill(pid_t(process.processId()), SIGKILL);
    });

    EXPECT_EQ(result.exitCode, -1);
    const QStringList files = OutFiles();
    EXPECT_LT(files.size(), 18) << "killed in the middle";
    for (const QString &name : files) {
        EXPECT_TRUE(name.startsWith('k')) << name.toStdString();
        EXPECT_EQ(FileBytes(Out(name)), TestHttpServer::Body(0, 400000)) << name.toStdString();
    }
}

} // namespace
