#pragma once

#include "controls/grid/GridGeometry.h"
#include "controls/grid/GridView.h"
#include "util/Colour.h"

#include <QColor>
#include <QFont>
#include <QRect>

class QPainter;
class QStyle;
struct ListGridProperties;

// One repaint of a grid: the header, the rows from the top row that fit,
// the grid lines and the focus rectangle, in that order. It reads the
// store, the geometry and the view state and changes none of them.
class GridPainter {
public:
    explicit GridPainter(const GridView &view);

    void Paint(QPainter &p);

    // The grid font its properties describe; the classic dialog fonts stand
    // for the desktop's own font at their size.
    static QFont Font(const ListGridProperties &props);
    // The selection background blended with the row background (weight 120
    // of 255 for the selection).
    static QColor BlendSelection(const QColor &selection, const QColor &back);
    // Whether the style draws a header section at all (it may draw nothing).
    static bool StyleDrawsHeaders(const QStyle *style);

private:
    enum HeaderState { HeaderNormal = 1, HeaderHot = 2, HeaderPressed = 3 };

    QColor Colour(OleColour c) const;
    void PaintHeader(QPainter &p);
    void PaintHeaderCell(QPainter &p, int32_t Col, const QRect &cell);
    void PaintHeaderLook(QPainter &p, const QRect &cell, HeaderState state);
    void PaintButtonLook(QPainter &p, const QRect &cell, HeaderState state, bool flat);
    void PaintStyledHeader(QPainter &p, const QRect &cell, HeaderState state);
    void PaintPlainHeader(QPainter &p, const QRect &cell, HeaderState state);
    void PaintGradientHeader(QPainter &p, const QRect &cell, HeaderState state);
    // True when a glyph was drawn.
    bool PaintSortGlyph(QPainter &p, int32_t column, const QRect &cell);
    void PaintRow(QPainter &p, const GridGeometry::VisibleRow &row);
    void PaintRowBackground(QPainter &p, const GridGeometry::VisibleRow &row, bool selected);
    void PaintCell(QPainter &p, const GridGeometry::VisibleRow &row, int32_t Col, bool selected);
    void PaintCheckBox(QPainter &p, const QRect &box, bool checked);
    void PaintProgress(QPainter &p, const QRect &cell, int32_t value);
    void PaintText(QPainter &p, const QRect &rect, const QString &text, int32_t alignment, bool wrap);
    void PaintGridLines(QPainter &p, const std::vector<GridGeometry::VisibleRow> &rows);
    void PaintFocusRect(QPainter &p, const std::vector<GridGeometry::VisibleRow> &rows);
    bool RowDrawnSelected(int32_t Row) const;
    bool Themed() const;

    const QWidget &grid;
    const GridStore &store;
    const GridGeometry &geometry;
    const GridSort &sorter;
    const DrawnImages *pictures;
    const GridViewState &viewState;
    const ListGridProperties &props;
    QFont font;
    int32_t rightEnd = 0;
};
