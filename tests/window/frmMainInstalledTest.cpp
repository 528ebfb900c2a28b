#include "WindowFixture.h"

#include "window/frmAbout.h"

#include <QLabel>

namespace {

// The window of a program installed in <prefix>/bin: the install's marker
// lies in <prefix>/share/tavrin/ and no list lies beside the program.
class frmMainInstalledTest : public WindowFixture {
protected:
    QString prefix = dir.filePath("usr");

    frmMainInstalledTest()
    {
        QDir().mkpath(prefix + "/bin");
        QDir().mkpath(prefix + "/share/tavrin");
        EXPECT_TRUE(WriteFile(prefix + "/share/tavrin/installed", ""));
        window.Core().Settings().ProgramFolder = prefix + "/bin";
    }
};

} // namespace

// The first start of an installed program: no message, the ten default
// jobs; Load and Save open in the data folder, where the list belongs.
TEST_F(frmMainInstalledTest, FirstStartShowsTheDefaultJobsAndTheDialogsOpenInTheDataFolder)
{
    window.StartUp("");
    EXPECT_EQ(window.Messages, QStringList());
    EXPECT_EQ(window.Core().LG().ItemCount(), 10);

    const QString dataFolder = dir.filePath("appdata/Velmora");
    Button("cmdSave")->click();
    Button("cmdLoad")->click();
    EXPECT_EQ(window.SaveAsked, QStringList{dataFolder + "|Txt Files|*.Txt"});
    EXPECT_EQ(window.OpenAsked, QStringList{dataFolder + "|Txt Files|*.Txt"});
}

// About is modal, shows the version and links the README where the install
// put it (a portable program's lies beside it).
TEST_F(frmMainInstalledTest, AboutShowsTheVersionAndLinksTheInstalledReadme)
{
    window.StartUp("");
    window.show();
    Button("cmdAbout")->click();
    auto *about = window.findChild<frmAbout *>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isModal() && about->isVisible());
    EXPECT_EQ(about->findChild<QLabel *>("lblVersion")->text(), QString("Version: ") + TAVRIN_VERSION);
    const QString link = about->findChild<QLabel *>("lblLink")->text();
    EXPECT_TRUE(link.startsWith("<a href=\"" + prefix + "/share/doc/tavrin/README.md\">")) << link.toStdString();
    about->accept();
}
