// The main window's editing gestures: the edit panel opening and closing,
// the context menu and its row actions, the answers to the grid's requests
// and the search box.

#include "app/JobFromUrl.h"
#include "controls/grid/GridInputCodes.h"
#include "controls/grid/ListGrid.h"
#include "platform/desktop/Shell.h"
#include "window/EditPanel.h"
#include "window/TwipsRect.h"
#include "window/frmMain.h"
#include "window/frmMenu.h"
#include "window/frmOptions.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <exception>

namespace {

constexpr int RightButton = 2;

// The menu's indexes.
constexpr int16_t ActionEdit = 0;
constexpr int16_t ActionCopy = 1;
constexpr int16_t ActionDelete = 2;
constexpr int16_t ActionPostProcess = 9;
constexpr int16_t ActionBrowse = 10;
constexpr int16_t ActionNewFromClipboard = 12;
constexpr int16_t ActionOptions = 13;

constexpr int32_t PasteKey = 86; // V

} // namespace

void frmMain::ConnectEditing()
{
    menu = new frmMenu(this);
    connect(menu, &frmMenu::mnuPop_Click, this, [this](int16_t index) { DoAction(index, true); });
    connect(cmdOkEdit, &QPushButton::clicked, this, &frmMain::cmdOkEdit_Click);
    connect(CmdCancelEdit, &QPushButton::clicked, this, &frmMain::CmdCancelEdit_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmMain::SearchJobs);
    connect(txtSearch, &QLineEdit::returnPressed, this, &frmMain::SearchJobs);
    // The grid reads the answers back when the signal returns: direct only.
    connect(LG, &ListGrid::MouseDown, this, &frmMain::LG_MouseDown, Qt::DirectConnection);
    connect(LG, &ListGrid::RequestEdit, this, &frmMain::LG_RequestEdit, Qt::DirectConnection);
    connect(LG, &ListGrid::CellUpdated, this, &frmMain::LG_CellUpdated, Qt::DirectConnection);
    connect(LG, &ListGrid::ColumnSizeChanged, this, &frmMain::LG_ColumnSizeChanged, Qt::DirectConnection);
    connect(LG, &ListGrid::KeyDown, this, &frmMain::LG_KeyDown);
    ConnectEditKeys();
}

void frmMain::ConnectEditKeys()
{
    setTabOrder(panel->LastField(), cmdOkEdit);
    setTabOrder(cmdOkEdit, CmdCancelEdit);
    connect(panel, &EditPanel::EnterPressed, this, [this] {
        if (editing)
            cmdOkEdit_Click();
    });
    cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    cancelKey->setEnabled(false);
    connect(cancelKey, &QShortcut::activated, this, &frmMain::CmdCancelEdit_Click);
}

// The menu items a run refuses look unavailable while it goes.
void frmMain::ShowRowActionsAllowed(bool allowed)
{
    for (int16_t index : {ActionDelete, ActionPostProcess})
        menu->mnuPop(index)->setEnabled(allowed);
}

// ---- the edit panel ----------------------------------------------------------

void frmMain::SetGfxTopHeight(int twips)
{
    gfxTopHeight = twips;
    Form_Resize();
}

void frmMain::BeginEdit()
{
    const GridStore &grid = core.LG();
    const int32_t r = grid.Row();
    if (r < 0)
        return;
    panel->RecordToPanel(grid.ItemData(r), r);
    SetEditing(true);
    panel->show();
    SetGfxTopHeight(GfxTopExpanded);
    panel->FocusFirstField();
}

void frmMain::EndEditing()
{
    SetEditing(false);
    panel->hide();
    SetGfxTopHeight(GfxTopCollapsed);
    LG->setFocus(Qt::OtherFocusReason);
}

void frmMain::cmdOkEdit_Click()
{
    EndEditing();
    panel->CommitEdit();
}

// The job stays as it was; the panel keeps what was typed until it is
// opened again.
void frmMain::CmdCancelEdit_Click()
{
    EndEditing();
}

// ---- row actions -------------------------------------------------------------

void frmMain::DoAction(int16_t Index, bool)
{
    if (actionRunning)
        return;
    actionRunning = true;
    try {
        const int32_t row = core.LG().Row();
        switch (Index) {
        case ActionEdit:
            BeginEdit();
            break;
        case ActionCopy:
            CopyJob();
            break;
        case ActionDelete:
            DeleteJob();
            break;
        case ActionPostProcess:
            if (row >= 0)
                core.Engine().PostProcessRow(row);
            break;
        case ActionBrowse:
            if (row >= 0)
                BrowseOutput(row);
            break;
        case ActionNewFromClipboard:
            NewJobFromClipboard();
            break;
        case ActionOptions:
            ShowOptions();
            break;
        default:
            break;
        }
    } catch (const std::exception &) {
        // A row action ends silently.
    }
    actionRunning = false;
}

void frmMain::CopyJob()
{
    const int32_t row = core.LG().Row();
    if (row >= 0)
        core.CopyJob(row);
}

void frmMain::DeleteJob()
{
    const int32_t row = core.LG().Row();
    if (row >= 0)
        core.DeleteJob(row);
}

// The guess is only a start: the panel opens on it so that the user sees
// and corrects it before anything runs. A copy is allowed during a run, and
// so is this new row.
void frmMain::NewJobFromClipboard()
{
    if (editing || LG->Editing())
        return;
    QString message;
    const std::optional<JobRecord> job = JobFromUrl(QGuiApplication::clipboard()->text(), &message);
    if (!job) {
        ShowMessageBox(message);
        return;
    }
    core.Jobs().AddJob(*job);
    BeginEdit();
}

// A change applies from the next job a run starts.
void frmMain::ShowOptions()
{
    auto *dialog = new frmOptions(core.Settings().Options, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        AppSettings &settings = core.Settings();
        settings.Options = dialog->Chosen();
        QString message;
        if (!settings.Options.Save(settings.DataFolder, &message))
            ShowMessageBox(message);
    });
    dialog->open();
}

// The row's output folder, its variables expanded and the folder created,
// opened with the desktop; a folder that cannot be resolved opens nothing.
void frmMain::BrowseOutput(int32_t row)
{
    OpenWithShell(core.Jobs().JobOfRow(row, core.Settings().DataFolder).Folder);
}

void frmMain::OpenWithShell(const QString &path)
{
    ShellOpen(path);
}

// ---- the grid's requests -----------------------------------------------------

void frmMain::LG_MouseDown(int32_t Button, int32_t, float X, float Y)
{
    if (Button != RightButton || editing)
        return;
    menu->PopUp(LG->mapToGlobal(QPointF(double(X), double(Y)).toPoint()));
}

void frmMain::LG_RequestEdit(RequestEditArgs *args)
{
    if (editing) {
        args->Cancel = true;
        return;
    }
    try {
        switch (args->Col) {
        case JobColMarker:
            BeginEdit();
            args->Cancel = true;
            break;
        case JobColHidden:
        case JobColPP:
            args->Cancel = true;
            break;
        case JobColGet:
            core.LG().SetCellChanged(args->Row, args->Col, true);
            break;
        case JobColBrowse:
            args->Cancel = true;
            BrowseOutput(args->Row);
            break;
        default:
            break;
        }
    } catch (const std::exception &) {
        args->Cancel = true;
    }
}

void frmMain::LG_CellUpdated(int32_t Row, int32_t)
{
    try {
        core.Jobs().RowToRecord(Row, core.LG().ItemData(Row));
    } catch (const std::exception &) {
        // The record keeps its last values.
    }
}

// Ctrl+V on the grid itself: the grid passes on the keys it does not use,
// and while a cell is edited the keys go to its editor instead. It is the
// menu's action, with the menu's guard.
void frmMain::LG_KeyDown(int32_t KeyCode, int32_t Shift)
{
    if (KeyCode == PasteKey && Shift == HostCodes::CtrlMask)
        DoAction(ActionNewFromClipboard);
}

// While a file dialog is open, a bound editor stays where it is.
void frmMain::LG_ColumnSizeChanged(ColumnSizeChangedArgs *args)
{
    if (fileDialogOpen)
        args->MoveControl = 0;
}

// ---- search ------------------------------------------------------------------

void frmMain::SearchJobs()
{
    const QString text = txtSearch->text();
    if (text.isEmpty())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        GridStore &grid = core.LG();
        const int32_t row = core.Jobs().FindJobRow(text, grid.Row());
        if (row >= 0) {
            grid.GotoCell(row, 0);
            QCoreApplication::processEvents();
        }
    } catch (const std::exception &) {
        // The current row stays where it was.
    }
    QGuiApplication::restoreOverrideCursor();
}
