#include "WindowFixture.h"

#include "window/frmOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QSpinBox>

namespace {

class frmMainOptionsTest : public WindowFixture {
protected:
    QString Conf() { return dir.filePath("appdata/Velmora/Tavrin.conf"); }
    // Opens the dialog from the context menu: its number box.
    QSpinBox *OpenOptions()
    {
        EXPECT_TRUE(Choose(13));
        auto *dialog = window.findChild<frmOptions *>();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog ? dialog->findChild<QSpinBox *>("TxtUntilMissing") : nullptr;
    }
    void Close(QSpinBox *box, bool ok)
    {
        auto *dialog = static_cast<QDialog *>(box->window());
        ok ? dialog->accept() : dialog->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

// The menu opens the Options dialog on the options in force; Cancel
// changes nothing, OK applies every box and saves them in the data folder,
// where the next start finds them.
TEST_F(frmMainOptionsTest, TheMenuOpensTheOptionsAndOkAppliesAndSavesThem)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "Cats", "http://a/#1#.jpg"}}));
    window.show();
    EXPECT_EQ(MenuItem(13)->text(), "Options...");
    QSpinBox *box = OpenOptions();
    ASSERT_NE(box, nullptr);
    box->setValue(5);
    Close(box, false);
    EXPECT_EQ(window.Core().Settings().Options.UntilMissing, 0);
    EXPECT_FALSE(QFile::exists(Conf()));

    box = OpenOptions();
    ASSERT_NE(box, nullptr);
    QWidget *dialog = box->window();
    box->setValue(5);
    dialog->findChild<QCheckBox *>("ChkSkipExisting")->setChecked(true);
    dialog->findChild<QSpinBox *>("TxtRetries")->setValue(3);
    dialog->findChild<QSpinBox *>("TxtWaitMs")->setValue(250);
    Close(box, true);
    EXPECT_EQ(QString::fromUtf8(FileBytes(Conf())).split('\n', Qt::SkipEmptyParts).first(), "[Options]")
        << "an INI file a person can read";

    TestWindow next;
    next.StartUp(dir.filePath("list.txt"));
    const AppOptions &saved = next.Core().Settings().Options;
    EXPECT_EQ(std::make_tuple(saved.UntilMissing, saved.SkipExisting, saved.Retries, saved.WaitMs),
        std::make_tuple(5, 1, 3, 250));
    EXPECT_TRUE(window.Messages.isEmpty());
}

// Options that cannot be saved still apply to this session (the dialog
// opens on them again); a message names the file.
TEST_F(frmMainOptionsTest, OptionsThatCannotBeSavedSaySo)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "Cats", "http://a/#1#.jpg"}}));
    ASSERT_TRUE(QDir().mkpath(Conf()));
    QSpinBox *box = OpenOptions();
    ASSERT_NE(box, nullptr);
    box->setValue(3);
    Close(box, true);
    EXPECT_EQ(window.Core().Settings().Options.UntilMissing, 3);
    box = OpenOptions();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->value(), 3) << "the dialog opens on the options in force";
    Close(box, false);
    EXPECT_EQ(window.Messages, QStringList{"Unable to save: " + Conf()});
}
