#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>
#include <vector>

class GridStore;

// One scroll bar of the grid. Positions count whole rows (vertical) or whole
// columns (horizontal), never pixels.
struct ScrollBarState {
    int32_t Position = 0;
    int32_t Max = 0;
    int32_t PageSize = 5;
    int32_t LineStep = 1;
    bool Shown = false;
};

enum ScrollBarIndex { HorizontalBar = 0, VerticalBar = 1 };

enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, ThumbTrack, Top, Bottom, EndScroll, ThumbPosition };

// What the grid's measurements come to, recomputed when the font, the image
// list, the check boxes, the minimum row height or the row images change.
struct GridLayout {
    int32_t CheckBoxSize = 12;
    int32_t TextIndent = 3;
    int32_t ImageTop = 0;
    int32_t ImageWidth = 0;
    int32_t ImageHeight = 0;
    int32_t HeaderHeight = 16;
    int32_t TextHeight = 13;
    int32_t MinRowHeight = 16;
};

// A column's horizontal extent on screen; Left is -1 when the column lies
// before the first column shown.
struct ColumnSpan {
    int32_t Left = -1;
    int32_t Right = -1;
    bool OnScreen() const { return Left >= 0; }
};

// The rectangle of a w x h box placed in cell by an alignment code (0, 1, 2
// top; 4, 5, 6 middle; 8, 9, 10 bottom; left, centre, right); any other code
// puts it at (0, 0).
QRect BoxInCell(int32_t alignment, const QRect &cell, QSize box);

// The grid's coordinate system in pixels of its client area: header and row
// heights, column edges, hit tests and the two scroll bars. The view tells it
// the client size, the text height of its font and the columns' pixel widths;
// everything else it reads from the store. Walks over rows start at the top
// row and stop at the client's edge, so their cost does not grow with the
// row count.
class GridGeometry {
public:
    explicit GridGeometry(const GridStore &store);

    // What the view measures.
    void SetClientSize(QSize size);
    QSize ClientSize() const { return client; }
    void SetTextHeight(int32_t pixels);
    // Per column index; the list follows the store's column list.
    void ResizeColumns(int32_t count);
    void SetColumnWidthPx(int32_t Index, int32_t pixels);
    int32_t ColumnWidthPx(int32_t Index) const;
    // Until the grid is live, recomputing the scroll bars does nothing.
    void SetLive(bool value) { live = value; }

    void ComputeLayout();
    const GridLayout &Layout() const { return layout; }

    // The control's border on each side: 2 pixels with BorderStyle 1.
    int32_t BorderWidth() const;
    // 0 while the header is hidden.
    int32_t HeaderHeight() const;
    int32_t ItemsVisible() const;
    int32_t RowTop(int32_t Index) const;
    int32_t RowAt(int32_t y) const;
    int32_t ColumnAt(int32_t x) const;
    // The display position's cell extent; position 0 starts at the text
    // indent when check boxes or row images stand before it.
    ColumnSpan ColumnGeometry(int32_t Col) const;
    // The full extent of display position Col, from its left edge.
    ColumnSpan ColumnExtent(int32_t Col) const;
    int32_t ColLeft(int32_t Col) const { return ColumnGeometry(Col).Left; }
    // The right edge of the last visible column.
    int32_t RightEnd() const;
    int32_t TotalWidth() const;

    int32_t TopRow() const { return bars[VerticalBar].Position; }
    int32_t LeftCol() const { return bars[HorizontalBar].Position; }
    const ScrollBarState &Bar(ScrollBarIndex which) const { return bars[which]; }

    // The ranges and visibility of both bars by the row and column sizes.
    // The vertical maximum is the first top row that shows the last row
    // whole; every way of scrolling stops there.
    void RecomputeScrollBars();
    // Ignored while the bar is hidden; clamped to the bar's range. True when
    // the position changed.
    bool SetBarPosition(ScrollBarIndex which, int32_t value);
    // The position an action leads to (track: the thumb's position).
    int32_t ActionTarget(ScrollBarIndex which, ScrollAction action, int32_t track) const;
    // The vertical position becomes value, or the maximum when value is
    // larger. True when it changed.
    bool SetTopRow(int32_t value);
    // Scrolls by whole columns and rows until (Row, Col) is on screen, within
    // the bars' ranges as last recomputed. Gives true when the scroll bars
    // are to be recomputed (the horizontal position is back at 0).
    bool ScrollIntoView(int32_t Row, int32_t Col);
    // Back to the top left (the rows were cleared).
    void ResetPositions();

    // The rows to paint: from the top row, as many as fit, hidden ones left
    // out. Each with its top and bottom.
    struct VisibleRow {
        int32_t Row;
        int32_t Top;
        int32_t Bottom;
    };
    std::vector<VisibleRow> VisibleRows() const;

private:
    int32_t RowHeightPx(int32_t Index) const;
    bool RowShown(int32_t Index) const;
    bool ColumnShown(int32_t Col) const;
    int32_t ColumnWidthAt(int32_t Col) const;
    bool AnyRowImage() const;
    int32_t RowsFittingFromBottom() const;
    bool RowsOverflow() const;

    const GridStore &store;
    QSize client;
    int32_t textHeight = 13;
    bool live = false;
    std::vector<int32_t> widths; // column index -> pixels
    GridLayout layout;
    ScrollBarState bars[2];
};
