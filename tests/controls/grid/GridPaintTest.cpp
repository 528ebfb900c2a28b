#include "controls/ControlColours.h"
#include "controls/grid/DrawnImages.h"
#include "controls/grid/ImageList.h"
#include "controls/grid/ListGrid.h"
#include "util/Units.h"

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

constexpr OleColour White = RGB(255, 255, 255);

// A grid measured in pixels, without border or grid lines, on white, whose
// first column is 102 pixels wide and whose rows are 24 pixels tall; with
// `rows` given, that column is "A" and holds that many empty rows.
struct PaintedGrid {
    ListGrid grid;
    GridStore &store = grid.Store();
    ImageList names;
    DrawnImages images;

    explicit PaintedGrid(int rows = -1)
    {
        grid.resize(300, 160);
        store.SetScaleUnits(ScalePixels);
        store.SetViewSetting(ViewSetting::BorderStyle, 0);
        store.SetViewSetting(ViewSetting::GridLines, false);
        store.SetBackColor(White);
        store.SetViewSetting(ViewSetting::BackColorFixed, White);
        store.SetViewSetting(ViewSetting::ThemeStyle, 1);
        store.SetRowHeightMin(24);
        names.Add();
        store.SetImageList(&names);
        images.Set(1, [](QPainter &p, const QRectF &box) { p.fillRect(box, Qt::red); });
        grid.SetPictures(&images);
        if (rows >= 0)
            store.AddColumn(QStringLiteral("A"), 102);
        for (int r = 0; r < rows; ++r)
            store.AddItem();
    }

    int Top(int row) const { return grid.RowTop(row); }

    QImage Render(qreal ratio = 1)
    {
        grid.RefreshView();
        QImage image((QSizeF(grid.size()) * ratio).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        grid.render(&image);
        return image;
    }
};

QColor At(const QImage &image, int x, int y, qreal ratio = 1)
{
    return image.pixelColor(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
}

bool Near(const QColor &a, const QColor &b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
        std::abs(a.blue() - b.blue()) <= tolerance;
}

// Counts the paints that draw: those that come while Redraw is on.
class DrawCounter : public QObject {
public:
    explicit DrawCounter(const GridStore &shown) : store(shown) {}
    int draws = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        draws += event->type() == QEvent::Paint && store.Redraw();
        return false;
    }

private:
    const GridStore &store;
};

} // namespace

TEST(GridPaint, ProgressCellsFillTheirShareOfTheColumn)
{
    for (const qreal ratio : {1.0, 2.0}) {
        PaintedGrid g;
        g.store.SetViewSetting(ViewSetting::ProgressBarColor, RGB(0, 128, 0));
        g.store.AddColumn(QStringLiteral("Done"), 102, 4, ColTypeProgress);
        int16_t full = 100, none = 0;
        g.store.SetCellAttribute(g.store.AddItem(), 0, CellAttr::ProgressValue, full);
        g.store.SetCellAttribute(g.store.AddItem(), 0, CellAttr::ProgressValue, none);
        const QImage image = g.Render(ratio);
        const int y = g.Top(0) + 10;
        EXPECT_EQ(At(image, 1, y, ratio), Qt::white) << ratio;
        EXPECT_EQ(At(image, 2, y, ratio), QColor(0, 128, 0)) << ratio;
        EXPECT_EQ(At(image, 99, y, ratio), QColor(0, 128, 0)) << ratio;
        EXPECT_EQ(At(image, 100, y, ratio), Qt::white) << "right edge at left + 100 at ratio " << ratio;
        EXPECT_EQ(At(image, 50, g.Top(1) + 10, ratio), Qt::white) << "0 draws no bar";
    }
}

TEST(GridPaint, SelectedRowsAreSolidOrBlendedAndKeepTheBackUnderTheCheckBox)
{
    PaintedGrid g(2);
    g.store.SetViewSetting(ViewSetting::BackColorSel, RGB(0, 0, 255));
    g.store.SetCheckBoxes(true);
    g.store.SetItemAttribute(0, ItemAttr::Selected, true);
    g.store.SetItemAttribute(1, ItemAttr::Selected, true);
    g.store.SetViewSetting(ViewSetting::FullRowSelect, false);
    QImage image = g.Render();
    EXPECT_EQ(At(image, 60, g.Top(0) + 12), Qt::white) << "no FullRowSelect, no MultiSelect: ordinary";

    g.store.SetViewSetting(ViewSetting::FullRowSelect, true);
    image = g.Render();
    EXPECT_EQ(At(image, 60, g.Top(0) + 12), QColor(0, 0, 255));
    EXPECT_EQ(At(image, 1, g.Top(0) + 12), Qt::white) << "the check box stands on the row background";
    g.store.SetViewSetting(ViewSetting::AlphaBlendSelection, true);
    image = g.Render();
    EXPECT_EQ(At(image, 60, g.Top(1) + 12), QColor(135, 135, 255));
}

TEST(GridPaint, CheckBoxCellsAndImagesSitWhereTheirAlignmentPutsThem)
{
    // Alignment code, the box's top left in the cell; the cell is 40 x 24, the box 16.
    const std::pair<int, QPoint> cases[] = {{0, {1, 2}}, {5, {12, 4}}, {10, {23, 6}}};
    for (const qreal ratio : {1.0, 2.0}) {
        for (const auto &[code, at] : cases) {
            PaintedGrid g;
            g.store.SetViewSetting(ViewSetting::ThemeStyle, 0); // flat check boxes
            g.store.AddColumn(QStringLiteral("A"), 102);
            g.store.AddColumn(QStringLiteral("Box"), 40, code, ColTypeCheckBox);
            g.store.AddColumn(QStringLiteral("Image"), 40, 4, ColTypeText, QString(), QString(), code);
            const int32_t row = g.store.AddItem();
            g.store.SetCellImage(row, 2, 1);
            const QImage image = g.Render(ratio);
            const QColor shadow = QColor(ToQColor(SystemColour(16), g.grid.palette()).rgb());
            const QPoint box = QPoint(102, g.Top(0)) + at;
            EXPECT_EQ(At(image, box.x(), box.y(), ratio), shadow) << code << " at ratio " << ratio;
            EXPECT_EQ(At(image, box.x() - 1, box.y() - 1, ratio), Qt::white) << code;
            const QPoint picture = box + QPoint(40, 0);
            EXPECT_EQ(At(image, picture.x(), picture.y(), ratio), Qt::red) << code << " at ratio " << ratio;
            EXPECT_EQ(At(image, picture.x() + 15, picture.y() + 15, ratio), Qt::red) << code;
            EXPECT_EQ(At(image, picture.x() - 1, picture.y() - 1, ratio), Qt::white) << code;
        }
    }
}

TEST(GridPaint, TheFocusRectangleFollowsHideSelectionAndTheFocus)
{
    PaintedGrid g(1);
    g.store.SetFocusRectColor(RGB(255, 0, 0));
    g.store.SetRow(0);
    const QPoint corner(3, g.Top(0) + 1);
    g.store.SetHideSelection(false);
    EXPECT_EQ(At(g.Render(), corner.x(), corner.y()), Qt::red);
    g.store.SetHideSelection(true);
    EXPECT_EQ(At(g.Render(), corner.x(), corner.y()), Qt::white) << "no focus, no rectangle";
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(&g.grid, &focusIn);
    EXPECT_EQ(At(g.Render(), corner.x(), corner.y()), Qt::red);
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(&g.grid, &focusOut);
    EXPECT_EQ(At(g.Render(), corner.x(), corner.y()), Qt::white);
}

TEST(GridPaint, SortGlyphsPointByTheColumnsOrder)
{
    PaintedGrid g;
    g.store.AddColumn(QStringLiteral("Sorted"), 102);
    g.store.AddColumn(QStringLiteral("Then"), 60);
    for (int r = 0; r < 3; ++r)
        g.store.AddItem(QStringLiteral("%1\t%2").arg(r % 2).arg(r));
    const QColor shadow = QColor(ToQColor(SystemColour(16), g.grid.palette()).rgb());
    // The shadow pixels of each glyph line, top to bottom, from x = right - 12.
    const auto lines = [&](const QImage &image, int right, int count) {
        std::vector<int> widths;
        for (int y = 6; y < 6 + count; ++y) {
            int width = 0;
            for (int x = right - 12; x < right - 2; ++x)
                width += At(image, x, y) == shadow;
            widths.push_back(width);
        }
        return widths;
    };
    g.grid.Sort(0, 1, 1, 0);
    const QImage image = g.Render();
    EXPECT_EQ(lines(image, 102, 5), std::vector<int>({1, 3, 5, 7, 9})) << "ascending points up";
    EXPECT_EQ(lines(image, 162, 3), std::vector<int>({6, 4, 2})) << "the second column, descending";
}

TEST(GridPaint, GradientHeadersRunBetweenTheirEndColours)
{
    // The header of theme style 4 (the window's) at pixel ratios 1 and 2.
    for (const qreal ratio : {1.0, 2.0}) {
        PaintedGrid g(0);
        g.store.SetViewSetting(ViewSetting::ThemeStyle, 4);
        const QImage image = g.Render(ratio);
        const int height = g.grid.Geometry().HeaderHeight();
        EXPECT_TRUE(Near(At(image, 50, 1, ratio), QColor(96, 106, 128), 8)) << ratio;
        EXPECT_TRUE(Near(At(image, 50, height - 3, ratio), QColor(22, 26, 44), 8)) << ratio;
        EXPECT_EQ(At(image, 50, 0, ratio), QColor(59, 97, 156)) << "outline";
    }
}

// Changes and a sort while Redraw is off are drawn once, when Redraw is back
// on, whether or not a paint was skipped in between.
TEST(GridPaint, ChangesWhileRedrawIsOffAreDrawnOnceWhenItComesBackOn)
{
    for (const bool skippedPaint : {true, false}) {
        PaintedGrid g(3);
        DrawCounter counter(g.store);
        g.grid.installEventFilter(&counter);
        g.grid.show();
        QApplication::processEvents();
        counter.draws = 0;
        g.store.SetRedraw(false);
        for (int r = 0; r < 3; ++r)
            g.store.SetCellText(r, 0, QString(QChar(u'c' - r)));
        g.grid.Sort(0);
        ASSERT_EQ(g.store.CellText(0, 0), "a");
        if (skippedPaint)
            QApplication::processEvents();
        g.store.SetRedraw(true);
        QApplication::processEvents();
        EXPECT_EQ(counter.draws, 1) << skippedPaint;
    }
}
