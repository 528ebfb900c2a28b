#pragma once

#include "app/JobTable.h"
#include "controls/grid/ListGrid.h"
#include "controls/progress/ProgressBar.h"
#include "support/JobLists.h"
#include "support/ScopedEnvironment.h"
#include "support/TestHttpServer.h"
#include "window/frmMain.h"
#include "window/frmMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

// The window with its dialogs, message boxes and the end of the process
// answered by the test.
class TestWindow : public frmMain {
public:
    QStringList Messages;
    QString OpenAnswer, SaveAnswer;
    QStringList OpenAsked, SaveAsked; // "folder|filter"
    QStringList Opened;               // folders handed to the desktop shell
    QStringList Notices;              // texts handed to the desktop's notification service

protected:
    void ShowMessageBox(const QString &text) override { Messages << text; }
    QString ChooseFileToOpen(const QString &folder, const QString &filter) override
    {
        OpenAsked << folder + '|' + filter;
        return OpenAnswer;
    }
    QString ChooseFileToSave(const QString &folder, const QString &filter) override
    {
        SaveAsked << folder + '|' + filter;
        return SaveAnswer;
    }
    void EndProcess() override {}
    void OpenWithShell(const QString &path) override { Opened << path; }
    void ShowDesktopNotice(const QString &text) override { Notices << text; }
};

class WindowFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScopedEnvironment env;
    TestWindow window;

    WindowFixture()
    {
        QDir().mkpath(dir.filePath("appdata"));
        env.Set("APPDATA", dir.filePath("appdata").toLocal8Bit());
    }

    template <typename T = QWidget>
    T *Control(const QString &name)
    {
        T *control = window.findChild<T *>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }
    QPushButton *Button(const QString &name) { return Control<QPushButton>(name); }
    ProgressBar *Bar(const QString &name) { return Control<ProgressBar>(name); }
    QLineEdit *Box(const QString &name) { return Control<QLineEdit>(name); }
    QCheckBox *Check(const QString &name) { return Control<QCheckBox>(name); }
    ListGrid *LG() { return Control<ListGrid>("LG"); }
    GridStore &Grid() { return window.Core().LG(); }
    JobTable &Jobs() { return window.Core().Jobs(); }
    QAction *MenuItem(int16_t index) { return window.findChild<frmMenu *>()->mnuPop(index); }
    // Chooses a context menu item; false when the menu has none at index.
    bool Choose(int16_t index)
    {
        QAction *item = MenuItem(index);
        if (item)
            item->trigger();
        return item != nullptr;
    }

    // A job list saved by the program: one job per record, the settings given.
    QString SaveList(const QString &name, const std::vector<JobRecord> &jobs, int32_t numDLs = 3, bool resetLog = false)
    {
        AppSettings settings;
        settings.NumDLs = numDLs;
        settings.ResetLog = resetLog;
        settings.LogFile = dir.filePath("log.txt");
        EXPECT_TRUE(SaveJobs(dir.filePath(name), jobs, settings));
        return dir.filePath(name);
    }

    // Calls probe on every turn of the event loop (every few milliseconds)
    // while body runs; body may run nested loops.
    void WhileRunning(const std::function<void()> &probe, const std::function<void()> &body)
    {
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, probe);
        timer.start();
        body();
        timer.stop();
    }
};
