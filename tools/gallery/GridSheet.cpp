#include "tools/gallery/GridSheet.h"

#include "controls/grid/ListGrid.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int JobGridWidth = 1000;

QLabel *Heading(const QString &text)
{
    auto *heading = new QLabel(text);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    return heading;
}

} // namespace

GridSheet::GridSheet(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Heading(QStringLiteral("Job table: the ten default jobs, row 2 current")));
    layout->addWidget(JobGrid());
    layout->addSpacing(8);
    layout->addWidget(Heading(QStringLiteral("Header looks 0 to 4: every column type, sorted by Name then Size; "
                                             "looks 1 and 3 blend the selection")));
    auto *looks = new QGridLayout;
    for (int look = 0; look <= 4; ++look) {
        looks->addWidget(new QLabel(QStringLiteral("ThemeStyle %1").arg(look)), (look / 2) * 2, look % 2);
        looks->addWidget(LookGrid(look), (look / 2) * 2 + 1, look % 2);
    }
    layout->addLayout(looks);
}

// The design values the main window gives its job grid.
ListGrid *GridSheet::JobGrid()
{
    auto *grid = new ListGrid(this);
    grid->setFixedSize(JobGridWidth, 250);
    grid->SetPictures(&jobImages);
    GridStore &LG = grid->Store();
    LG.SetViewSetting(ViewSetting::BackColorBkg, 0x8000000F);
    LG.SetViewSetting(ViewSetting::BackColorEdit, 0x00FCE1CB);
    LG.SetViewSetting(ViewSetting::BackColorSel, 0x00FFFFFF);
    LG.SetForeColor(0);
    LG.SetViewSetting(ViewSetting::ForeColorEdit, 0);
    LG.SetViewSetting(ViewSetting::ForeColorFixed, 0x00FCE1CB);
    LG.SetForeColorHdr(0x00E0E0E0);
    LG.SetViewSetting(ViewSetting::ForeColorSel, 0x00202F0B);
    LG.SetViewSetting(ViewSetting::ForeColorTotals, 0x0080FF80);
    LG.SetViewSetting(ViewSetting::ThemeColor, 0);
    LG.SetViewSetting(ViewSetting::ThemeStyle, 4);
    LG.SetControlWidth(JobGridWidth * 15.0f);
    jobs = std::make_unique<JobTable>(LG);
    jobs->SetupJobGrid();
    jobs->DefaultJobs(10);
    LG.SetRedraw(false);
    for (int32_t i = 1; i <= jobs->JobCount(); ++i) {
        if (i == 2) {
            jobs->Record(i).Get = QStringLiteral("1");
            jobs->Record(i).CmdPP = QStringLiteral("viewer %F");
            jobs->Record(i).RunPP = QStringLiteral("1");
        } else if (i == 5) {
            jobs->Record(i).CmdPP = QStringLiteral("archive %F");
        }
        jobs->RecordToRow(LG.AddItem(), i);
    }
    LG.SetRedraw(true);
    LG.GotoCell(1, JobColCategory);
    grids.push_back(grid);
    return grid;
}

ListGrid *GridSheet::LookGrid(int look)
{
    auto *grid = new ListGrid(this);
    grid->setFixedSize(490, 150);
    GridStore &store = grid->Store();
    store.SetRedraw(false);
    store.SetViewSetting(ViewSetting::ThemeStyle, look);
    if (look == 4)
        store.SetForeColorHdr(RGB(224, 224, 224));
    store.SetCheckBoxes(look == 0);
    store.SetViewSetting(ViewSetting::AlphaBlendSelection, look % 2 == 1);
    store.SetRowHeightMin(300);
    store.SetHideSelection(false);
    store.AddColumn(QStringLiteral("Name"), 1400);
    store.AddColumn(QStringLiteral("Size"), 900, 6, ColTypeNumber);
    store.AddColumn(QStringLiteral("Date"), 1200, 4, ColTypeDate);
    store.AddColumn(QStringLiteral("Done"), 700, 5, ColTypeCheckBox);
    store.AddColumn(QStringLiteral("Progress"), 1500, 4, ColTypeProgress);
    store.AddColumn(QStringLiteral("Note"), 1500, 4, ColTypeCustom);
    const QString rows[] = {QStringLiteral("alpha.jpg\t1200\t2024-03-01\t\t\tfirst"),
        QStringLiteral("beta.png\t56\t2023-11-12\t\t\tsecond, a longer note that is cut"),
        QStringLiteral("gamma.gif\t78000\t2025-01-30\t\t\tthird"),
        QStringLiteral("delta.bmp\t640\t2022-07-04\t\t\tfourth"),
        QStringLiteral("epsilon.tif\t3\t2021-02-14\t\t\tfifth")};
    int16_t progress[] = {100, 45, 0, 80, 10};
    for (int r = 0; r < 5; ++r) {
        const int32_t row = store.AddItem(rows[r], 0, r == 2);
        store.SetCellChecked(row, 3, r % 2 == 0);
        store.SetCellAttribute(row, 4, CellAttr::ProgressValue, progress[r]);
    }
    store.SetCellAttribute(3, 5, CellAttr::BackColor, RGB(255, 240, 200));
    store.SetCellAttribute(0, 0, CellAttr::FontBold, true);
    grid->Sort(0, 1, 1, 0);
    store.SetItemAttribute(1, ItemAttr::Selected, true);
    store.SetRow(3);
    store.SetRedraw(true);
    if (look == 2)
        grid->SetHotColumn(2);
    if (look == 3 || look == 4) {
        store.SetHotHeaderTracking(true);
        if (look == 3) // a hot header is light: the light captions of look 4 do not suit it
            grid->SetHotColumn(2);
        grid->SetPressedColumn(look == 3 ? 5 : 2);
    }
    grids.push_back(grid);
    return grid;
}

void GridSheet::RefreshGrids()
{
    for (ListGrid *grid : grids)
        grid->RefreshView();
}
