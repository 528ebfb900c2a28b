#include "platform/desktop/Shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

// Stands in for the desktop: records what it is asked to open.
class DesktopRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> Opened;

public Q_SLOTS:
    void Open(const QUrl &url) { Opened << url; }
};

TEST(ShellOpen, HandsExistingFilesAndFoldersToTheDesktopAndNothingElse)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a b#1.txt");
    QFile(file).open(QIODevice::WriteOnly);
    DesktopRecorder desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "Open");

    ShellOpen(file);
    ShellOpen(dir.path());
    ShellOpen(QString());
    ShellOpen(dir.filePath("missing.txt"));

    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(desktop.Opened, (QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(dir.path())}));
}

#include "ShellTest.moc"
