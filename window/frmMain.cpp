#include "window/frmMain.h"

#include "app/JobListFile.h"
#include "controls/PropertyStore.h"
#include "controls/frame/GFXFrameX.h"
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridProperties.h"
#include "controls/progress/ProgressBar.h"
#include "platform/ProcessEnd.h"
#include "platform/desktop/DesktopNotification.h"
#include "platform/desktop/Shell.h"
#include "startup/Installation.h"
#include "util/Numbers.h"
#include "window/BannerImage.h"
#include "window/EditPanel.h"
#include "window/SlotCountBox.h"
#include "window/TwipsLayout.h"
#include "window/frmAbout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int InnerWidth = 11280;
constexpr int InnerHeight = 7425;

constexpr TwipsRect TopImageAt{-180, -120, 11595, 990};
constexpr TwipsRect cmdRunAt{120, 420, 1215, 375};
constexpr TwipsRect cmdViewLogAt{1440, 420, 1215, 375};
constexpr TwipsRect cmdLoadAt{4380, 420, 1215, 375};
constexpr TwipsRect cmdSaveAt{5700, 420, 1215, 375};
constexpr TwipsRect cmdAboutAt{9960, 420, 1215, 375};
constexpr TwipsRect GfxTopAt{60, 900, 11235, 3975};
constexpr TwipsRect lblSearchAt{180, 120, 510, 195};
constexpr TwipsRect txtSearchAt{900, 60, 2475, 315};
constexpr TwipsRect cmdSearchAt{3420, 60, 315, 315};
constexpr TwipsRect chkLogResetAt{7020, 90, 1155, 255};
constexpr TwipsRect Label4At{8820, 120, 1395, 255};
constexpr TwipsRect TxtDLsAt{8400, 60, 315, 315};
constexpr TwipsRect cmdOkEditAt{8400, 3420, 1215, 375};
constexpr TwipsRect CmdCancelEditAt{9720, 3420, 1215, 375};
constexpr TwipsRect LGAt{60, 1380, 11175, 5115};
constexpr TwipsRect picButtomAt{0, 6540, 11355, 915};
// Inside the bottom strip: the overall bar above, the slot bars below it.
constexpr TwipsRect Picture2At{60, 45, 11160, 285};
constexpr TwipsRect picBoxvpDLAt{60, 360, 11160, 495};
constexpr int SlotBarGap = 60;
constexpr int SlotBarTop = 45;
constexpr int SlotBarHeight = 405;
// Where the banner shows the product's name: the gap between Save and About,
// in the banner's own twips.
constexpr TwipsRect TitleAt{7020 - TopImageAt.Left, 300 - TopImageAt.Top, 2760, 600};
// The search strip's captions reach no further than the frame's inner edge
// at the design size.
constexpr int SearchStripRight = 11175;

// The column captions while a run refuses sorting: greyed.
constexpr OleColour HeaderCaptionsDuringRun = 0x00909090u;

// The bars show at most this often during a run (25 frames a second).
constexpr int BarFrameMs = 40;
constexpr int FiguresTickMs = 1000;

// The right margin of the frame, and how far the banner reaches past it.
constexpr int GfxTopMargin = 65;
constexpr int TopImageOverhang = 540;
// The grid's margin to the right and above the bottom strip.
constexpr int GridMargin = 30;

const QString SaveFilter = QStringLiteral("Txt Files|*.Txt");

// The window's fonts ("MS Sans Serif", "Tahoma") are the desktop's UI font.
QString UiFont()
{
    return QApplication::font().toString();
}

} // namespace

frmMain::frmMain(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProductName());
    core.SetView(this);
    gfxTopHeight = GfxTopAt.Height;
    barFrame.setSingleShot(true);
    barFrame.setInterval(BarFrameMs);
    connect(&barFrame, &QTimer::timeout, this, &frmMain::ShowBars);
    figuresTick.setInterval(FiguresTickMs);
    connect(&figuresTick, &QTimer::timeout, this, &frmMain::ShowRunFigures);
    CreateControls();
    ApplyDesignSettings();
    ConnectControls();
    ApplyLayoutScale();
    const LayoutScale &scale = layout.Scale();
    resize(scale.ToPixelsX(InnerWidth, this), scale.ToPixelsY(InnerHeight, this));
}

frmMain::~frmMain()
{
    SetBusyPointer(false);
    core.SetView(nullptr);
    // The grid shows the store that core owns, and core goes before the
    // child widgets do.
    delete LG;
}

// ---- controls ----------------------------------------------------------------

void frmMain::CreateControls()
{
    TopImage = layout.Create<BannerImage>(this, "TopImage", TopImageAt);
    CreateTopButtons();
    CreateSearchStrip();
    LG = layout.Create<ListGrid>(this, "LG", LGAt, core.LG());
    LG->SetPictures(&jobImages);
    // Expanded for editing, the frame lies over the top of the grid.
    GfxTop->raise();
    CreateBottomStrip();
}

// Each button answers Alt and its underlined letter from the start; Run
// keeps the caption a run gives it.
void frmMain::CreateTopButtons()
{
    cmdRun = layout.Create<QPushButton>(this, "cmdRun", cmdRunAt, QStringLiteral("&Run"));
    cmdViewLog = layout.Create<QPushButton>(this, "cmdViewLog", cmdViewLogAt, QStringLiteral("&View Log"));
    cmdLoad = layout.Create<QPushButton>(this, "cmdLoad", cmdLoadAt, QStringLiteral("&Load"));
    cmdLoad->setToolTip(QStringLiteral("Load Configuration File"));
    cmdSave = layout.Create<QPushButton>(this, "cmdSave", cmdSaveAt, QStringLiteral("&Save"));
    cmdSave->setToolTip(QStringLiteral("Save Configuration File"));
    cmdAbout = layout.Create<QPushButton>(this, "cmdAbout", cmdAboutAt, QStringLiteral("&About"));
}

void frmMain::CreateSearchStrip()
{
    GfxTop = layout.Create<GFXFrameX>(this, "GfxTop", GfxTopAt);
    lblSearch = layout.Create<QLabel>(GfxTop, "lblSearch", lblSearchAt, QStringLiteral("Search"));
    txtSearch = layout.Create<QLineEdit>(GfxTop, "txtSearch", txtSearchAt);
    txtSearch->setToolTip(QStringLiteral("Search in Category, Url and Output"));
    cmdSearch = layout.Create<QPushButton>(GfxTop, "cmdSearch", cmdSearchAt, QStringLiteral("v"));
    cmdSearch->setToolTip(QStringLiteral("Browse for an Access Database"));
    chkLogReset = layout.Create<QCheckBox>(GfxTop, "chkLogReset", chkLogResetAt, QStringLiteral("Reset Log"));
    chkLogReset->setToolTip(QStringLiteral("Reset Log File at next run"));
    Label4 = layout.Create<QLabel>(GfxTop, "Label4", Label4At, QStringLiteral("Download Threads"));
    TxtDLs = layout.Create<SlotCountBox>(GfxTop, "TxtDLs", TxtDLsAt);
    TxtDLs->setToolTip(QStringLiteral("Number of concurrent downloads (1-9)"));
    TxtDLs->setAlignment(Qt::AlignCenter);
    layout.GrowsRight(lblSearch, txtSearchAt.Left);
    layout.GrowsRight(chkLogReset, TxtDLsAt.Left);
    layout.GrowsRight(Label4, SearchStripRight);
    // The edit panel's buttons; the panel itself lies below the strip.
    cmdOkEdit = layout.Create<QPushButton>(GfxTop, "cmdOkEdit", cmdOkEditAt, QStringLiteral("&OK"));
    CmdCancelEdit = layout.Create<QPushButton>(GfxTop, "CmdCancelEdit", CmdCancelEditAt, QStringLiteral("&Cancel"));
    cmdOkEdit->setEnabled(false);
    CmdCancelEdit->setEnabled(false);
    panel = new EditPanel(core.Jobs(), GfxTop, layout);
}

void frmMain::CreateBottomStrip()
{
    picButtom = layout.Create<QWidget>(this, "picButtom", picButtomAt);
    Picture2 = layout.Create<QWidget>(picButtom, "Picture2", Picture2At);
    vp1 = layout.Create<ProgressBar>(Picture2, "vp1", TwipsRect{0, 0, Picture2At.Width, Picture2At.Height});
    picBoxvpDL = layout.Create<QWidget>(picButtom, "picBoxvpDL", picBoxvpDLAt);
    const int barWidth = (picBoxvpDLAt.Width - SlotBarGap * 8) / 9;
    for (int i = 0; i < 9; ++i) {
        const TwipsRect at{i * (barWidth + SlotBarGap), SlotBarTop, barWidth, SlotBarHeight};
        vpDL[size_t(i)] = layout.Create<ProgressBar>(picBoxvpDL, QStringLiteral("vpDL%1").arg(i), at);
    }
    picBoxvpDL->hide();
}

// The settings the controls carry in the window's design; every other
// setting keeps the control's default.
void frmMain::ApplyDesignSettings()
{
    PropertyStore slotBar;
    slotBar.Write(QStringLiteral("Value"), 1);
    slotBar.Write(QStringLiteral("Theme"), 10);
    slotBar.Write(QStringLiteral("TextStyle"), 3);
    slotBar.Write(QStringLiteral("TextEffect"), 5);
    slotBar.Write(QStringLiteral("Text"), QStringLiteral(" "));
    slotBar.Write(QStringLiteral("TextEffectColor"), RGB(255, 255, 255));
    slotBar.Write(QStringLiteral("PBSCustomeColor1"), RGB(90, 156, 254));
    slotBar.Write(QStringLiteral("PBSCustomeColor2"), RGB(160, 160, 160));
    slotBar.Write(QStringLiteral("TextFont"), UiFont());
    for (ProgressBar *bar : vpDL)
        bar->ReadProperties(slotBar);
    // The overall bar keeps the settings of a freshly placed bar (its
    // caption is the Text the run writes).

    PropertyStore frame;
    frame.Write(QStringLiteral("FrameStyle"), 0);
    frame.Write(QStringLiteral("FillColour"), RGB(240, 240, 246));
    frame.Write(QStringLiteral("BackColour"), RGB(236, 237, 240));
    frame.Write(QStringLiteral("BorderColour"), RGB(192, 192, 192));
    GfxTop->ReadProperties(frame);

    ApplyJobGridDesign();
    for (size_t i = 0; i < barsWanted.size(); ++i)
        barsWanted[i] = BarShown{Bar(i)->Value(), Bar(i)->Text()};
}

// The job grid's design values: colours as 0x00BBGGRR numbers, a high bit
// naming a system colour (15, button face).
void frmMain::ApplyJobGridDesign()
{
    PropertyStore grid;
    grid.Write(QStringLiteral("BackColorBkg"), 0x8000000Fu);
    grid.Write(QStringLiteral("BackColorEdit"), 0x00FCE1CBu);
    grid.Write(QStringLiteral("BackColorSel"), 0x00FFFFFFu);
    grid.Write(QStringLiteral("ForeColor"), 0u);
    grid.Write(QStringLiteral("ForeColorEdit"), 0u);
    grid.Write(QStringLiteral("ForeColorFixed"), 0x00FCE1CBu);
    grid.Write(QStringLiteral("ForeColorHdr"), 0x00E0E0E0u);
    grid.Write(QStringLiteral("ForeColorSel"), 0x00202F0Bu);
    grid.Write(QStringLiteral("ForeColorTotals"), 0x0080FF80u);
    grid.Write(QStringLiteral("ThemeColor"), 0);
    grid.Write(QStringLiteral("ThemeStyle"), 4);
    grid.Write(QStringLiteral("HideSelection"), false);
    grid.Write(QStringLiteral("Font"), FontDescription(QApplication::font().family(), 8.25, false));
    core.LG().ReadProperties(grid, UiFont());
    // The last column of the job table takes the grid's width at set-up.
    core.LG().SetControlWidth(float(LGAt.Width));
}

void frmMain::ConnectControls()
{
    connect(cmdRun, &QPushButton::clicked, this, &frmMain::cmdRun_Click);
    connect(cmdViewLog, &QPushButton::clicked, this, &frmMain::cmdViewLog_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &frmMain::cmdLoad_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    connect(
        TxtDLs, &SlotCountBox::SlotCountEntered, this, [this](int32_t count) { core.Engine().SetSlotCount(count); });
    ConnectEditing();
}

// ---- start-up ----------------------------------------------------------------

void frmMain::StartUp(const QString &commandLine)
{
    core.StartUp(commandLine, this);
    dialogFolder = FirstDialogFolder(core.Settings());
}

void frmMain::WindowCreated()
{
    setWindowTitle(ProductName());
    gfxTopHeight = GfxTopCollapsed;
    cmdOkEdit->setEnabled(false);
    Form_Resize();
}

void frmMain::SettingsLoaded()
{
    TxtDLs->setText(QString::number(core.Settings().NumDLs));
    chkLogReset->setChecked(core.Settings().ResetLog);
}

void frmMain::StartUpDone()
{
    SetRunState(1);
    ResetOverallProgress();
}

// ---- state -------------------------------------------------------------------

void frmMain::SetRunState(int16_t state)
{
    if (state == 0)
        cmdRun->setEnabled(false);
    else if (state == 1 || state == 2)
        cmdRun->setEnabled(true);
}

// While a run goes, Run is its Stop button and stays enabled whatever the
// edit panel does.
void frmMain::UpdateEditButtons()
{
    cmdOkEdit->setEnabled(editing);
    CmdCancelEdit->setEnabled(editing);
    cmdRun->setEnabled(!editing || runGoing);
    cmdLoad->setEnabled(!editing && !runGoing);
    cmdSave->setEnabled(!editing);
}

// The grid lies under the open panel: Tab passes it by, a click still reaches
// its visible rows.
void frmMain::SetEditing(bool value)
{
    editing = value;
    UpdateEditButtons();
    LG->setFocusPolicy(editing ? Qt::ClickFocus : Qt::StrongFocus);
    cancelKey->setEnabled(editing);
}

void frmMain::ResetOverallProgress()
{
    barsWanted[OverallBar] = BarShown{0, QString()};
    ShowBars();
}

// A run reads its rows by position: no new list, no sorting and no deleted
// row meanwhile, and what it refuses looks unavailable: Load and the menu
// items greyed, and the column captions, which sort on a click otherwise.
void frmMain::ShowRunGoing(bool going)
{
    GridStore &grid = core.LG();
    if (going) {
        sortBeforeRun = grid.Properties().ColumnSort;
        headerColourBeforeRun = grid.Properties().ForeColorHdr;
    }
    runGoing = going;
    UpdateEditButtons();
    ShowRowActionsAllowed(!going);
    grid.SetColumnSort(going ? false : sortBeforeRun);
    grid.SetForeColorHdr(going ? HeaderCaptionsDuringRun : headerColourBeforeRun);
}

// ---- layout ------------------------------------------------------------------

void frmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    const LayoutScale &scale = layout.Scale();
    const double innerWidth = scale.ToTwipsX(width(), this);
    const double innerHeight = scale.ToTwipsY(height(), this);
    const int w = std::max(1, RoundToLong(innerWidth - GfxTopMargin));
    const int gridW = std::max(1, RoundToLong(innerWidth - LGAt.Left - GridMargin));
    const int gridH = std::max(1, RoundToLong(innerHeight - LGAt.Top - GridMargin - picButtomAt.Height));

    layout.Place(GfxTop, TwipsRect{GfxTopAt.Left, GfxTopAt.Top, w, gfxTopHeight});
    layout.Place(TopImage, TwipsRect{TopImageAt.Left, TopImageAt.Top, w + TopImageOverhang, TopImageAt.Height});
    layout.Place(picButtom, TwipsRect{picButtomAt.Left, LGAt.Top + gridH, picButtomAt.Width, picButtomAt.Height});
    layout.Place(LG, TwipsRect{LGAt.Left, LGAt.Top, gridW, gridH});
    core.LG().RefreshView();
}

// The layout scale follows the font: everything is placed again, and the
// window keeps its size in the design's twips, as a laid-out dialog grows
// with its font (unless the desktop gave it its size: maximised or full
// screen).
void frmMain::ApplyLayoutScale()
{
    const double innerWidth = layout.Scale().ToTwipsX(width(), this);
    const double innerHeight = layout.Scale().ToTwipsY(height(), this);
    layout.Update();
    const LayoutScale &scale = layout.Scale();
    TopImage->SetTitle(ProductName(), scale.ToPixels(TitleAt, TopImage));
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        resize(scale.ToPixelsX(innerWidth, this), scale.ToPixelsY(innerHeight, this));
    Form_Resize();
}

// The desktop's font and colours may change while the program runs.
void frmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        for (ProgressBar *bar : vpDL)
            bar->SetTextFont(font());
        ApplyLayoutScale();
        break;
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
}

// ---- buttons -----------------------------------------------------------------

void frmMain::cmdRun_Click()
{
    FetchEngine &engine = core.Engine();
    if (engine.IsRunning()) {
        engine.RunClick(); // asks the run below this handler to stop
        return;
    }
    ShowRunGoing(true);
    engine.RunClick();
    ShowRunGoing(false);
    NoticeRunEnded();
}

// A run that ends while the user works in another window is told by the
// desktop, with the summary the overall bar shows.
void frmMain::NoticeRunEnded()
{
    const QString summary = core.Engine().LastSummary();
    if (!summary.isEmpty() && !isActiveWindow())
        ShowDesktopNotice(summary);
}

void frmMain::ShowDesktopNotice(const QString &text)
{
    NotifyDesktop(ProductName(), text);
}

void frmMain::cmdViewLog_Click()
{
    try {
        ShellOpen(core.FlushedLogFile());
    } catch (const std::exception &) {
        // Viewing the log reports nothing.
    }
}

void frmMain::cmdLoad_Click()
{
    fileDialogOpen = true;
    if (dialogFolder.isEmpty())
        dialogFolder = core.Settings().ProgramFolder;
    const QString path = ChooseFileToOpen(dialogFolder, dialogFilter);
    if (!path.isEmpty())
        core.LoadAndFill(path, this);
    fileDialogOpen = false;
}

void frmMain::cmdSave_Click()
{
    fileDialogOpen = true;
    dialogFilter = SaveFilter;
    const QString path = ChooseFileToSave(dialogFolder, dialogFilter);
    if (!path.isEmpty()) {
        core.Settings().ResetLog = chkLogReset->isChecked();
        // The user must know that the list was not saved.
        QString message;
        if (!JobListFile::SaveJobList(path, core.Settings(), core.Jobs(), &message))
            ShowMessageBox(message);
    }
    fileDialogOpen = false;
}

void frmMain::cmdAbout_Click()
{
    auto *about = new frmAbout(ReadmeFile(core.Settings().ProgramFolder), this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

// ---- closing -----------------------------------------------------------------

// No prompt and nothing saved: the process ends here, even when a run is
// waiting further down the stack. The downloads in flight go first, so
// that no spool file is left beside a target, and a post-processing command
// still running ends with the program.
void frmMain::closeEvent(QCloseEvent *event)
{
    if (closing) {
        event->accept();
        return;
    }
    closing = true;
    QCoreApplication::processEvents();
    core.AbandonForExit();
    EndProcess();
    event->accept();
}

void frmMain::EndProcess()
{
    SetBusyPointer(false);
    EndProcessAtOnce(0);
}

// A filter of the form "Description|*.a;*.b|..." as Qt shows it. Qt matches
// patterns case-sensitively where the file system is, so each pattern comes
// in its lower-case and upper-case spelling too.
QString frmMain::QtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            for (const QString &spelling : {pattern, pattern.toLower(), pattern.toUpper()})
                if (!patterns.contains(spelling))
                    patterns << spelling;
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

// ---- what tests answer instead of the user -----------------------------------

void frmMain::ShowMessageBox(const QString &text)
{
    QMessageBox::information(this, ProductName(), text, QMessageBox::Ok);
}

QString frmMain::ChooseFileToOpen(const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(this, QString(), folder, QtFileFilter(filter));
}

QString frmMain::ChooseFileToSave(const QString &folder, const QString &filter)
{
    return QFileDialog::getSaveFileName(this, QString(), folder, QtFileFilter(filter));
}

// ---- the run on the widgets --------------------------------------------------

void frmMain::SetOverallValue(int32_t value)
{
    barsWanted[OverallBar].Value = value;
    BarsChanged();
}

void frmMain::SetOverallText(const QString &text)
{
    barsWanted[OverallBar].Text = text;
    BarsChanged();
}

void frmMain::SetSlotValue(int slot, int32_t value)
{
    if (slot < 0 || slot >= int(vpDL.size()))
        return;
    barsWanted[size_t(slot)].Value = value;
    BarsChanged();
}

void frmMain::SetSlotText(int slot, const QString &text)
{
    if (slot < 0 || slot >= int(vpDL.size()))
        return;
    barsWanted[size_t(slot)].Text = text;
    BarsChanged();
}

ProgressBar *frmMain::Bar(size_t index) const
{
    return index == OverallBar ? vp1 : vpDL[index];
}

// A bar repaints its whole face at every setting, and a fast run sets them
// thousands of times a second. The first change shows at once; the ones
// that follow within a frame show together at its end.
void frmMain::BarsChanged()
{
    if (barFrame.isActive())
        return;
    ShowBars();
    barFrame.start();
}

void frmMain::ShowBars()
{
    for (size_t i = 0; i < barsWanted.size(); ++i) {
        ProgressBar *bar = Bar(i);
        if (bar->Value() != barsWanted[i].Value)
            bar->SetValue(barsWanted[i].Value);
        if (bar->Text() != barsWanted[i].Text)
            bar->SetText(barsWanted[i].Text);
    }
}

void frmMain::SlotCountSet(int32_t)
{
    layout.Place(picBoxvpDL, picBoxvpDLAt);
}

// The box shows while a run goes: the figures are followed as long, and the
// tooltip keeps the last ones.
void frmMain::ShowSlotBox(bool visible)
{
    picBoxvpDL->setVisible(visible);
    ShowRunFigures();
    if (visible)
        figuresTick.start();
    else
        figuresTick.stop();
}

void frmMain::ShowRunFigures()
{
    vp1->setToolTip(RunFiguresText(core.Engine().Figures()));
}

// The caption changes as a run starts and when it has ended: the bars
// show their last state with it.
void frmMain::SetRunCaption(const QString &caption)
{
    ShowBars();
    cmdRun->setText(caption);
}

// The pointer is set once however often a run asks, and always undone.
void frmMain::SetBusyPointer(bool busy)
{
    if (busy == busyPointerShown)
        return;
    busyPointerShown = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void frmMain::ShowMessage(const QString &text)
{
    ShowMessageBox(text);
}

bool frmMain::ShiftHeld()
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool frmMain::ResetLogChecked(bool)
{
    return chkLogReset->isChecked();
}
