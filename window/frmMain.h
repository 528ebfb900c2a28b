#pragma once

#include "controls/grid/DrawnImages.h"
#include "engine/RunView.h"
#include "startup/AppCore.h"
#include "startup/StartUpWindow.h"
#include "util/Colour.h"
#include "window/TwipsLayout.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>

class BannerImage;
class EditPanel;
class frmMenu;
struct ColumnSizeChangedArgs;
struct RequestEditArgs;
class GFXFrameX;
class ListGrid;
class ProgressBar;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;
class SlotCountBox;

// The main window: the banner with Run, View Log, Load, Save and About; the
// frame with the search strip and the edit panel; the job grid with its
// context menu; the bottom strip with the nine slot bars and the overall
// bar. It owns the application's state and shows the engine's run on its
// widgets.
//
// Every control carries its design name as object name (cmdRun, vpDL3, ...).
// Message boxes, file dialogs and the end of the process go through virtual
// members, so that a test can answer them without a desktop.
class frmMain : public QWidget, private RunView, private StartUpWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The load half of start-up: everything from the data folder to the
    // filled grid, with the job list named by commandLine.
    void StartUp(const QString &commandLine);

    AppCore &Core() { return core; }

    // State 0 disables Run, 1 and 2 enable it; other values change nothing.
    void SetRunState(int16_t state);
    // The edit panel's buttons against Run, Load and Save.
    void UpdateEditButtons();
    void ResetOverallProgress();
    bool Editing() const { return editing; }
    void SetEditing(bool value);
    bool FileDialogOpen() const { return fileDialogOpen; }

    // Opens the edit panel on the grid's current row (none: nothing).
    void BeginEdit();
    // A context menu choice by its menu index; a choice that comes while
    // another is still running is dropped. bCheckSwitch changes nothing.
    void DoAction(int16_t Index, bool bCheckSwitch = false);
    // The current row's job copied to a new last row, or deleted (left out
    // of the next save).
    void CopyJob();
    void DeleteJob();
    // A job guessed from the URL on the clipboard, added as a new last row
    // with the edit panel open on it; a text that is not a URL is refused
    // with a message. Nothing while a cell or the panel is being edited.
    void NewJobFromClipboard();
    // The Options dialog; OK applies the options and saves them in the data
    // folder (a message says when they could not be saved).
    void ShowOptions();
    // The next job after the current row whose Category, Url or Output
    // contains the search box's text, round from the top once.
    void SearchJobs();

    // A dialog filter "Description|*.a;*.b|..." as Qt shows it.
    static QString QtFileFilter(const QString &filter);

protected:
    // A message box with an OK button, titled with the product name.
    virtual void ShowMessageBox(const QString &text);
    // The path the user chose, or "" when the dialog was cancelled.
    virtual QString ChooseFileToOpen(const QString &folder, const QString &filter);
    virtual QString ChooseFileToSave(const QString &folder, const QString &filter);
    // Ends the process at once.
    virtual void EndProcess();
    // Opens a folder with the desktop shell.
    virtual void OpenWithShell(const QString &path);
    // Tells the desktop through its notification service.
    virtual void ShowDesktopNotice(const QString &text);

    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // RunView: the engine's run on the widgets.
    void SetOverallValue(int32_t value) override;
    void SetOverallText(const QString &text) override;
    void SetSlotValue(int slot, int32_t value) override;
    void SetSlotText(int slot, const QString &text) override;
    void SlotCountSet(int32_t count) override;
    void ShowSlotBox(bool visible) override;
    void SetRunCaption(const QString &caption) override;
    void SetBusyPointer(bool busy) override;
    void ShowMessage(const QString &text) override;
    bool ShiftHeld() override;
    bool ResetLogChecked(bool setting) override;

    // StartUpWindow: the steps that touch controls.
    void WindowCreated() override;
    void SettingsLoaded() override;
    void StartUpDone() override;

    void CreateControls();
    void CreateTopButtons();
    void CreateSearchStrip();
    void CreateBottomStrip();
    void ApplyDesignSettings();
    void ApplyJobGridDesign();
    void ConnectControls();
    void Form_Resize();
    void ApplyLayoutScale();

    void cmdRun_Click();
    void NoticeRunEnded();
    void cmdViewLog_Click();
    void cmdLoad_Click();
    void cmdSave_Click();
    void cmdAbout_Click();
    // The editing gestures (frmMainEditing.cpp).
    void ConnectEditing();
    void SetGfxTopHeight(int twips);
    void cmdOkEdit_Click();
    void CmdCancelEdit_Click();
    void EndEditing();
    void BrowseOutput(int32_t row);
    void LG_MouseDown(int32_t Button, int32_t Shift, float X, float Y);
    void LG_RequestEdit(RequestEditArgs *args);
    void LG_CellUpdated(int32_t Row, int32_t Col);
    void LG_ColumnSizeChanged(ColumnSizeChangedArgs *args);
    void LG_KeyDown(int32_t KeyCode, int32_t Shift);

    // While a run goes, what the engine refuses is disabled.
    void ShowRunGoing(bool going);
    void ShowRowActionsAllowed(bool allowed);
    // Keyboard use of the edit panel: Tab runs through its fields, then OK
    // and Cancel; Enter is OK, Escape is Cancel.
    void ConnectEditKeys();
    ProgressBar *Bar(size_t index) const;
    void BarsChanged();
    void ShowBars();

    // The top frame's height in twips: the search strip alone, or with the
    // edit panel below it.
    static constexpr int GfxTopCollapsed = 495;
    static constexpr int GfxTopExpanded = 3975;

    AppCore core;
    // Every control of the window and the edit panel at its design place.
    TwipsLayout layout;
    // The job table's folder, marker and post-processing pictures.
    DrawnImages jobImages = DrawnImages::JobImages();
    bool editing = false;
    bool fileDialogOpen = false;
    bool busyPointerShown = false;
    bool runGoing = false;
    bool sortBeforeRun = false;
    OleColour headerColourBeforeRun = 0;
    bool closing = false;
    bool actionRunning = false;
    int gfxTopHeight = 0; // twips
    // The file dialogs' initial folder and filter ("Description|*.ext").
    QString dialogFolder;
    QString dialogFilter;

    BannerImage *TopImage = nullptr;
    QPushButton *cmdRun = nullptr;
    QPushButton *cmdViewLog = nullptr;
    QPushButton *cmdLoad = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdAbout = nullptr;
    GFXFrameX *GfxTop = nullptr;
    QLabel *lblSearch = nullptr;
    QLineEdit *txtSearch = nullptr;
    QPushButton *cmdSearch = nullptr;
    QCheckBox *chkLogReset = nullptr;
    QLabel *Label4 = nullptr;
    SlotCountBox *TxtDLs = nullptr;
    QPushButton *cmdOkEdit = nullptr;
    QPushButton *CmdCancelEdit = nullptr;
    EditPanel *panel = nullptr;
    QShortcut *cancelKey = nullptr;
    frmMenu *menu = nullptr;
    ListGrid *LG = nullptr;
    QWidget *picButtom = nullptr;
    QWidget *picBoxvpDL = nullptr;
    QWidget *Picture2 = nullptr;
    std::array<ProgressBar *, 9> vpDL{};
    ProgressBar *vp1 = nullptr;

    // What the ten bars are to show: the nine slots, then the whole run.
    struct BarShown {
        int32_t Value = 0;
        QString Text;
    };
    static constexpr size_t OverallBar = 9;
    std::array<BarShown, 10> barsWanted;
    QTimer barFrame;
    // During a run the overall bar's tooltip holds the run's figures (files,
    // bytes, speed, time left), refreshed once a second.
    QTimer figuresTick;
    void ShowRunFigures();
};
