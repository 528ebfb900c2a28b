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
// changes nothing, OK applies them and saves them in the data folder, where
// the next start finds them.
TEST_F(frmMainOptionsTest, TheMenuOpensTheOptionsAndOkAppliesAndSavesThem)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "Cats", "http://a/#1#.jpg"}}));
    window.show();
    EXPECT_EQ(MenuItem(13)->text(), "Options...");
    EXPECT_EQ(window.Core().Settings().Options.UntilMissing, 0);

    QSpinBox *box = OpenOptions();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->value(), 0);
    box->setValue(5);
    Close(box, false);
    EXPECT_EQ(window.Core().Settings().Options.UntilMissing, 0);
    EXPECT_FALSE(QFile::exists(Conf()));

    box = OpenOptions();
    ASSERT_NE(box, nullptr);
    box->setValue(5);
    Close(box, true);
    EXPECT_EQ(window.Core().Settings().Options.UntilMissing, 5);
    EXPECT_EQ(QString::fromUtf8(FileBytes(Conf())).split('\n', Qt::SkipEmptyParts),
        (QStringList{"[Options]", "UntilMissing=5"}))
        << "an INI file a person can read";
    box = OpenOptions();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->value(), 5);
    Close(box, false);

    TestWindow next;
    next.StartUp(dir.filePath("list.txt"));
    EXPECT_EQ(next.Core().Settings().Options.UntilMissing, 5);
    EXPECT_TRUE(window.Messages.isEmpty());
}

// Options that cannot be saved still apply to this session; a message
// names the file.
TEST_F(frmMainOptionsTest, OptionsThatCannotBeSavedSaySo)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "Cats", "http://a/#1#.jpg"}}));
    ASSERT_TRUE(QDir().mkpath(Conf()));
    QSpinBox *box = OpenOptions();
    ASSERT_NE(box, nullptr);
    box->setValue(3);
    Close(box, true);
    EXPECT_EQ(window.Core().Settings().Options.UntilMissing, 3);
    EXPECT_EQ(window.Messages, QStringList{"Unable to save: " + Conf()});
}

// Skip, retry and wait are shown as they are in force, and OK applies and
// saves what the boxes say.
TEST_F(frmMainOptionsTest, SkipRetryAndWaitAreSetInTheDialog)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "Cats", "http://a/#1#.jpg"}}));
    QSpinBox *box = OpenOptions();
    ASSERT_NE(box, nullptr);
    QWidget *dialog = box->window();
    auto *skip = dialog->findChild<QCheckBox *>("ChkSkipExisting");
    auto *retries = dialog->findChild<QSpinBox *>("TxtRetries");
    auto *wait = dialog->findChild<QSpinBox *>("TxtWaitMs");
    ASSERT_TRUE(skip && retries && wait);
    EXPECT_FALSE(skip->isChecked());
    EXPECT_EQ(retries->value(), 0);
    EXPECT_EQ(wait->value(), 0);
    skip->setChecked(true);
    retries->setValue(3);
    wait->setValue(250);
    Close(box, true);

    const AppOptions &applied = window.Core().Settings().Options;
    const AppOptions saved = AppOptions::Load(dir.filePath("appdata/Velmora"));
    for (const AppOptions &options : {applied, saved}) {
        EXPECT_EQ(options.SkipExisting, 1);
        EXPECT_EQ(options.Retries, 3);
        EXPECT_EQ(options.WaitMs, 250);
    }
    box = OpenOptions();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->window()->findChild<QCheckBox *>("ChkSkipExisting")->isChecked());
    EXPECT_EQ(box->window()->findChild<QSpinBox *>("TxtRetries")->value(), 3);
    EXPECT_EQ(box->window()->findChild<QSpinBox *>("TxtWaitMs")->value(), 250);
    Close(box, false);
}
