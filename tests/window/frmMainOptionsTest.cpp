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
// where the dialog and the next start find them.
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

    const auto boxes = [](QSpinBox *untilMissing) {
        QWidget *dialog = untilMissing->window();
        return std::make_tuple(dialog->findChild<QCheckBox *>("ChkSkipExisting"),
            dialog->findChild<QSpinBox *>("TxtRetries"), dialog->findChild<QSpinBox *>("TxtWaitMs"));
    };
    box = OpenOptions();
    ASSERT_NE(box, nullptr);
    auto [skip, retries, wait] = boxes(box);
    box->setValue(5);
    skip->setChecked(true);
    retries->setValue(3);
    wait->setValue(250);
    Close(box, true);
    EXPECT_EQ(QString::fromUtf8(FileBytes(Conf())).split('\n', Qt::SkipEmptyParts).first(), "[Options]")
        << "an INI file a person can read";
    box = OpenOptions();
    ASSERT_NE(box, nullptr);
    std::tie(skip, retries, wait) = boxes(box);
    EXPECT_EQ(std::make_tuple(box->value(), skip->isChecked(), retries->value(), wait->value()),
        std::make_tuple(5, true, 3, 250));
    Close(box, false);

    TestWindow next;
    next.StartUp(dir.filePath("list.txt"));
    const AppOptions &saved = next.Core().Settings().Options;
    EXPECT_EQ(std::make_tuple(saved.UntilMissing, saved.SkipExisting, saved.Retries, saved.WaitMs),
        std::make_tuple(5, 1, 3, 250));
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
