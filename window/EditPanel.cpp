#include "window/EditPanel.h"

#include "app/JobTable.h"
#include "controls/ControlColours.h"
#include "controls/grid/GridStore.h"
#include "window/TwipsLayout.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <exception>
#include <limits>

namespace {

// The whole panel in the frame's coordinates; the search strip above it
// keeps its own controls, which lie over the panel.
constexpr TwipsRect PanelAt{0, 0, 11235, 3975};

struct FieldPlace {
    const char *Name;
    TwipsRect At;
    const char *ToolTip;
};

constexpr FieldPlace txtUrlAt{"txtUrl", {900, 540, 10035, 555}, "Full url with #1# and/or #2#"};
constexpr FieldPlace Txt1At[3] = {
    {"Txt1(0)", {1680, 1140, 615, 285}, "Lower Bound for Sequence #1#"},
    {"Txt1(1)", {3300, 1140, 615, 285}, "Upper Bound for Sequence #1#"},
    {"Txt1(2)", {5280, 1140, 615, 285}, "format leading zero's e.g. 00 or 000"},
};
constexpr FieldPlace Txt2At[3] = {
    {"Txt2(0)", {1680, 1500, 615, 285}, ""},
    {"Txt2(1)", {3300, 1500, 615, 285}, ""},
    {"Txt2(2)", {5280, 1500, 615, 285}, ""},
};
constexpr FieldPlace TxtCatAt{"TxtCat", {7020, 1140, 975, 285}, "User defined string for sorting"};
constexpr FieldPlace TxtOutPreAt{
    "TxtOutPre", {7020, 1500, 975, 285}, "Prefix for output filenames #1# and #2# can be used"};
constexpr FieldPlace TxtOutputAt{"TxtOutput", {900, 1860, 9975, 315},
    "Output folder (variables can be used: %TEMP%, %APPDATA% %MYDOC% and %APPPATH%) "};
constexpr FieldPlace TxtFileSeparatorAt{
    "TxtFileSeparator", {7080, 2400, 435, 285}, "Enter + or - or space (default) used to separate files"};
constexpr FieldPlace TxtPPAt{"TxtPP", {900, 2760, 10035, 555},
    "Execute Program to do Post Processing. #OUT# is the Output folder, #FILE#  file name with "
    "extension (#FILEPATH# full path and file),  #FILENAME# without ext and #FILEEXT# only the "
    "extension."};
constexpr FieldPlace chkRunPPAt{"chkRunPP", {900, 2460, 2835, 255},
    "When checked off the Post Process can be started via the right click popup menu"};
constexpr FieldPlace chkAllPPAt{"chkAllPP", {3960, 2460, 1815, 255},
    "When checked #FILE# or #FILEPATH# will be subtituted by multiple files seperated by File "
    "Seperator character."};

// The caption labels LabelS1 by index, and the twips x up to which each
// one's text may reach when the desktop's font needs more room: those at
// the left edge grow to the right as far as the fields' column; those that
// end just left of their field are right-aligned and grow to the left as
// far as the field before them.
struct CaptionPlace {
    int Index;
    const char *Caption;
    TwipsRect At;
    bool EndsAtField;
    int Reach;
};
constexpr int RightEdge(const TwipsRect &at)
{
    return at.Left + at.Width;
}
constexpr int FieldsColumn = txtUrlAt.At.Left;
constexpr int Txt1Right[2] = {RightEdge(Txt1At[0].At), RightEdge(Txt1At[1].At)};
constexpr int FormatRight = RightEdge(Txt1At[2].At);
const CaptionPlace Captions[] = {
    {0, "Url", {180, 600, 660, 195}, false, FieldsColumn},
    {7, "#1#", {180, 1185, 480, 195}, false, FieldsColumn},
    {1, "L1", {1260, 1185, 360, 195}, true, FieldsColumn},
    {2, "U1", {2880, 1185, 360, 195}, true, Txt1Right[0]},
    {3, "Format1", {4500, 1185, 720, 195}, true, Txt1Right[1]},
    {11, " Category", {6120, 1185, 840, 195}, true, FormatRight},
    {8, "#2#", {180, 1545, 480, 195}, false, FieldsColumn},
    {4, "L2", {1260, 1545, 360, 195}, true, FieldsColumn},
    {5, "U2", {2880, 1545, 360, 195}, true, Txt1Right[0]},
    {6, "Format2", {4500, 1545, 720, 195}, true, Txt1Right[1]},
    {10, " Prefix", {6120, 1545, 840, 195}, true, FormatRight},
    {9, "Output", {180, 1920, 660, 195}, false, FieldsColumn},
    {14, "File Separator", {7590, 2445, 1080, 195}, false, RightEdge(txtUrlAt.At)},
    {12, "Post", {180, 2790, 660, 195}, false, FieldsColumn},
    {13, "Process", {180, 2985, 660, 195}, false, FieldsColumn},
};

constexpr TwipsRect LabelRowIDAt{180, 3600, 360, 195};
constexpr TwipsRect LabelDataIDAt{960, 3600, 360, 195};
// The row and record numbers may take the room up to the OK button.
constexpr int IdsReach = 8400;

// Two lines one pixel apart, a groove between the job's fields and its
// post-processing, in system colours 13 (highlight) and 20 (3D highlight).
constexpr int LineLeft = 120;
constexpr int LineRight = 10980;
constexpr int LineTops[2] = {2280, 2290};
constexpr OleColour LineColours[2] = {0x80000000u | 13u, 0x80000000u | 20u};

template <typename Control>
Control *CreateField(TwipsLayout &layout, QWidget *parent, const FieldPlace &place)
{
    auto *control = layout.Create<Control>(parent, QString::fromLatin1(place.Name), place.At);
    control->setToolTip(QString::fromUtf8(place.ToolTip));
    return control;
}

} // namespace

EditPanel::EditPanel(JobTable &jobsToEdit, QWidget *frame, TwipsLayout &windowLayout)
    : QWidget(frame),
      jobs(jobsToEdit),
      layout(windowLayout)
{
    setObjectName(QStringLiteral("EditPanel"));
    layout.Add(this, PanelAt);
    CreateFields();
    CreateCaptions();
    CreateLines();
    TakeTextsWhole();
    connect(chkAllPP, &QCheckBox::toggled, this, &EditPanel::chkAllPP_Click);
    chkAllPP_Click();
    // Below the search strip's controls, which share the frame's top.
    lower();
    hide();
}

void EditPanel::CreateFields()
{
    txtUrl = CreateField<QLineEdit>(layout, this, txtUrlAt);
    for (size_t k = 0; k < Txt1.size(); ++k)
        Txt1[k] = CreateField<QLineEdit>(layout, this, Txt1At[k]);
    TxtCat = CreateField<QLineEdit>(layout, this, TxtCatAt);
    for (size_t k = 0; k < Txt2.size(); ++k)
        Txt2[k] = CreateField<QLineEdit>(layout, this, Txt2At[k]);
    TxtOutPre = CreateField<QLineEdit>(layout, this, TxtOutPreAt);
    TxtOutput = CreateField<QLineEdit>(layout, this, TxtOutputAt);
    chkRunPP = CreateField<QCheckBox>(layout, this, chkRunPPAt);
    chkRunPP->setText(QStringLiteral("Run Post Process after Download"));
    chkAllPP = CreateField<QCheckBox>(layout, this, chkAllPPAt);
    chkAllPP->setText(QStringLiteral("All files in a single call"));
    // The first box's caption may push the second one right, but neither
    // reaches the separator box.
    layout.GrowsRight(chkRunPP, TxtFileSeparatorAt.At.Left);
    layout.GrowsRight(chkAllPP, TxtFileSeparatorAt.At.Left, chkRunPP);
    TxtFileSeparator = CreateField<QLineEdit>(layout, this, TxtFileSeparatorAt);
    TxtPP = CreateField<QLineEdit>(layout, this, TxtPPAt);
    // The design's placeholder until a job is shown.
    LabelRowID = layout.Create<QLabel>(this, QStringLiteral("LabelRowID"), LabelRowIDAt, QStringLiteral("____"));
    LabelDataID = layout.Create<QLabel>(this, QStringLiteral("LabelDataID"), LabelDataIDAt, QStringLiteral("____"));
    layout.GrowsRight(LabelRowID, LabelDataIDAt.Left);
    layout.GrowsRight(LabelDataID, IdsReach);
}

void EditPanel::CreateCaptions()
{
    for (const CaptionPlace &caption : Captions) {
        auto *label = layout.Create<QLabel>(
            this, QStringLiteral("LabelS1(%1)").arg(caption.Index), caption.At, QString::fromLatin1(caption.Caption));
        if (caption.EndsAtField) {
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            layout.GrowsLeft(label, caption.Reach);
        } else {
            layout.GrowsRight(label, caption.Reach);
        }
    }
}

void EditPanel::CreateLines()
{
    for (size_t k = 0; k < Line1.size(); ++k) {
        Line1[k] = layout.Create<QFrame>(
            this, QStringLiteral("Line1(%1)").arg(k), TwipsRect{LineLeft, LineTops[k], LineRight - LineLeft, 0});
        Line1[k]->setFrameShape(QFrame::NoFrame);
        Line1[k]->setFixedHeight(1);
        Line1[k]->setAutoFillBackground(true);
    }
    ColourLines();
}

// The lines' system colours are the desktop's palette roles, read again
// when the palette changes.
void EditPanel::ColourLines()
{
    for (size_t k = 0; k < Line1.size(); ++k) {
        QPalette colours = Line1[k]->palette();
        colours.setColor(QPalette::Window, ToQColor(LineColours[k], palette()));
        Line1[k]->setPalette(colours);
    }
}

void EditPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        ColourLines();
}

// A job's texts are stored exactly as typed, however long: no box cuts
// them to its default limit. Enter in any box is the panel's OK.
void EditPanel::TakeTextsWhole()
{
    for (QLineEdit *box : findChildren<QLineEdit *>()) {
        box->setMaxLength(std::numeric_limits<int>::max());
        connect(box, &QLineEdit::returnPressed, this, &EditPanel::EnterPressed);
    }
}

void EditPanel::RecordToPanel(int32_t i, int32_t r)
{
    const JobRecord &job = jobs.Record(i);
    LabelRowID->setText(QString::number(r));
    LabelDataID->setText(QString::number(i));
    TxtCat->setText(job.Category);
    txtUrl->setText(job.Url);
    Txt1[0]->setText(job.L1);
    Txt1[1]->setText(job.U1);
    Txt1[2]->setText(job.Format1);
    Txt2[0]->setText(job.L2);
    Txt2[1]->setText(job.U2);
    Txt2[2]->setText(job.Format2);
    TxtOutPre->setText(job.Prefix);
    TxtOutput->setText(job.Output);
    TxtPP->setText(job.CmdPP);
    TxtFileSeparator->setText(job.SepPP);
    chkAllPP->setChecked(job.AllPP == QLatin1String("1"));
    chkRunPP->setChecked(job.RunPP == QLatin1String("1"));
    chkAllPP_Click();
}

void EditPanel::CommitEdit()
{
    try {
        const int32_t i = LabelDataID->text().toInt();
        JobRecord &job = jobs.Record(i);
        job.Category = TxtCat->text();
        job.Url = txtUrl->text();
        job.L1 = Txt1[0]->text();
        job.U1 = Txt1[1]->text();
        job.Format1 = Txt1[2]->text();
        job.L2 = Txt2[0]->text();
        job.U2 = Txt2[1]->text();
        job.Format2 = Txt2[2]->text();
        job.Prefix = TxtOutPre->text();
        job.Output = TxtOutput->text();
        job.CmdPP = TxtPP->text();
        job.SepPP = TxtFileSeparator->text();
        job.AllPP = chkAllPP->isChecked() ? QStringLiteral("1") : QString();
        job.RunPP = chkRunPP->isChecked() ? QStringLiteral("1") : QString();
        const int32_t row = RowShowing(i);
        if (row >= 0)
            jobs.RecordToRow(row, i);
    } catch (const std::exception &) {
        // Nothing to report: what was written stays written.
    }
}

// The row the panel was opened on, as long as it still shows record i;
// otherwise the row that does (the rows may have moved meanwhile), or -1.
int32_t EditPanel::RowShowing(int32_t i) const
{
    const GridStore &grid = jobs.Grid();
    const int32_t shown = LabelRowID->text().toInt();
    if (shown >= 0 && shown < grid.ItemCount() && grid.ItemData(shown) == i)
        return shown;
    for (int32_t row = 0; row < grid.ItemCount(); ++row)
        if (grid.ItemData(row) == i)
            return row;
    return -1;
}

void EditPanel::FocusFirstField()
{
    txtUrl->setFocus(Qt::OtherFocusReason);
}

QWidget *EditPanel::LastField() const
{
    return TxtPP;
}

void EditPanel::chkAllPP_Click()
{
    TxtFileSeparator->setEnabled(chkAllPP->isChecked());
}
