#include "controls/grid/GridGeometry.h"

#include "controls/grid/GridStore.h"
#include "controls/grid/ImageList.h"
#include "util/Numbers.h"

#include <algorithm>

namespace {

int32_t Half(int32_t value)
{
    return static_cast<int32_t>(RoundHalfEven(value / 2.0));
}

} // namespace

QRect BoxInCell(int32_t alignment, const QRect &cell, QSize box)
{
    const int32_t L = cell.left(), W = cell.width(), T = cell.top(), H = cell.height();
    const int32_t w = box.width(), h = box.height();
    const int32_t horizontal = alignment & 3;
    const int32_t vertical = alignment & ~3;
    if (horizontal == 3 || (vertical != 0 && vertical != 4 && vertical != 8))
        return QRect(0, 0, w, h);
    const int32_t x = horizontal == 0 ? L + 1 : horizontal == 1 ? L + Half(W) - Half(w) : L + W - (w + 1);
    const int32_t y = vertical == 0 ? T + 2 : vertical == 4 ? T + Half(H) - Half(h) : T + H - (h + 2);
    return QRect(x, y, w, h);
}

GridGeometry::GridGeometry(const GridStore &shown) : store(shown)
{
}

int32_t GridGeometry::BorderWidth() const
{
    return store.Properties().BorderStyle == 1 ? 2 : 0;
}

void GridGeometry::SetClientSize(QSize size)
{
    client = size;
}

void GridGeometry::SetTextHeight(int32_t pixels)
{
    textHeight = pixels;
}

void GridGeometry::ResizeColumns(int32_t count)
{
    widths.resize(static_cast<size_t>(std::max(count, 0)), 0);
}

void GridGeometry::SetColumnWidthPx(int32_t Index, int32_t pixels)
{
    if (Index >= static_cast<int32_t>(widths.size()))
        ResizeColumns(Index + 1);
    widths[static_cast<size_t>(Index)] = pixels;
}

int32_t GridGeometry::ColumnWidthPx(int32_t Index) const
{
    if (Index < 0 || Index >= static_cast<int32_t>(widths.size()))
        return 0;
    return widths[static_cast<size_t>(Index)];
}

// ---- layout record ----------------------------------------------------------

bool GridGeometry::AnyRowImage() const
{
    for (int32_t r = 0; r < store.ItemCount(); ++r) {
        if (store.ItemAt(r).Image != 0)
            return true;
    }
    return false;
}

void GridGeometry::ComputeLayout()
{
    const ListGridProperties &props = store.Properties();
    const int32_t minimumPx = store.ToPixels(props.RowHeightMin);
    // A minimum too small for a box keeps the box of the default 16-pixel row.
    layout.CheckBoxSize = minimumPx > 16 ? 16 : (minimumPx - 4 >= 1 ? minimumPx - 4 : 12);
    layout.MinRowHeight = store.MinimumRowHeightPixels();
    layout.TextHeight = textHeight;
    layout.HeaderHeight = std::max(textHeight + 4, layout.MinRowHeight);

    const ImageList *images = store.GetImageList();
    layout.ImageWidth = images ? images->ImageWidth() : 0;
    layout.ImageHeight = images ? images->ImageHeight() : 0;
    layout.ImageTop = images ? Half(layout.MinRowHeight - layout.ImageHeight) : 0;

    layout.TextIndent = props.CheckBoxes ? layout.CheckBoxSize + 2 : 3;
    if (images && AnyRowImage())
        layout.TextIndent += layout.ImageWidth + 2;
}

// ---- rows -------------------------------------------------------------------

int32_t GridGeometry::HeaderHeight() const
{
    return store.Properties().ColumnHeaders ? layout.HeaderHeight : 0;
}

int32_t GridGeometry::ItemsVisible() const
{
    const int32_t room = client.height() - HeaderHeight() - 2 * BorderWidth();
    return static_cast<int32_t>(RoundHalfEven(static_cast<double>(room) / layout.MinRowHeight));
}

bool GridGeometry::RowShown(int32_t Index) const
{
    return store.ItemAt(Index).Visible;
}

int32_t GridGeometry::RowHeightPx(int32_t Index) const
{
    const ItemRecord &item = store.ItemAt(Index);
    return item.Visible ? item.Height : 0;
}

int32_t GridGeometry::RowTop(int32_t Index) const
{
    if (Index < TopRow())
        return -1;
    int32_t top = HeaderHeight();
    for (int32_t r = TopRow(); r < Index && r < store.ItemCount(); ++r)
        top += RowHeightPx(r);
    return top;
}

int32_t GridGeometry::RowAt(int32_t y) const
{
    if (store.Properties().ColumnHeaders && y < layout.HeaderHeight)
        return -1;
    int32_t bottom = HeaderHeight();
    for (int32_t r = TopRow(); r < store.ItemCount() && bottom <= y; ++r) {
        bottom += RowHeightPx(r);
        if (bottom > y)
            return r;
    }
    return -1;
}

std::vector<GridGeometry::VisibleRow> GridGeometry::VisibleRows() const
{
    std::vector<VisibleRow> rows;
    const int32_t end = std::min(TopRow() + ItemsVisible(), store.ItemCount());
    int32_t top = HeaderHeight();
    for (int32_t r = TopRow(); r < end; ++r) {
        if (!RowShown(r))
            continue;
        const int32_t bottom = top + RowHeightPx(r);
        rows.push_back({r, top, bottom});
        top = bottom;
    }
    return rows;
}

// ---- columns ----------------------------------------------------------------

bool GridGeometry::ColumnShown(int32_t Col) const
{
    return store.ColumnAt(store.ColPosition(Col)).Visible;
}

int32_t GridGeometry::ColumnWidthAt(int32_t Col) const
{
    return ColumnShown(Col) ? ColumnWidthPx(store.ColPosition(Col)) : 0;
}

ColumnSpan GridGeometry::ColumnExtent(int32_t Col) const
{
    if (Col < LeftCol())
        return {};
    int32_t left = 0;
    for (int32_t c = LeftCol(); c < Col; ++c)
        left += ColumnWidthAt(c);
    return {left, left + ColumnWidthAt(Col)};
}

ColumnSpan GridGeometry::ColumnGeometry(int32_t Col) const
{
    ColumnSpan span = ColumnExtent(Col);
    if (Col == 0 && span.OnScreen() && layout.TextIndent >= 4) {
        const int32_t width = span.Right - span.Left;
        span.Left = layout.TextIndent;
        span.Right = span.Left + (width - layout.TextIndent);
    }
    return span;
}

int32_t GridGeometry::ColumnAt(int32_t x) const
{
    int32_t left = 0;
    for (int32_t c = LeftCol(); c <= store.Cols(); ++c) {
        const int32_t width = ColumnWidthAt(c);
        if (left <= x && x < left + width)
            return c;
        left += width;
    }
    return -1;
}

int32_t GridGeometry::RightEnd() const
{
    int32_t right = 0;
    for (int32_t c = LeftCol(); c <= store.Cols(); ++c)
        right += ColumnWidthAt(c);
    return right;
}

int32_t GridGeometry::TotalWidth() const
{
    int32_t total = 0;
    for (int32_t c = 0; c <= store.Cols(); ++c)
        total += ColumnWidthAt(c);
    return total;
}

// ---- scroll bars ------------------------------------------------------------

int32_t GridGeometry::RowsFittingFromBottom() const
{
    int32_t sum = HeaderHeight();
    int32_t count = 0;
    for (int32_t r = store.ItemCount() - 1; r >= 0; --r) {
        sum += RowHeightPx(r);
        if (sum > client.height())
            break;
        ++count;
    }
    return count;
}

// Whether the header and all rows are taller than the client; stops as soon
// as they are.
bool GridGeometry::RowsOverflow() const
{
    int32_t total = HeaderHeight();
    for (int32_t r = 0; r < store.ItemCount(); ++r) {
        total += RowHeightPx(r);
        if (total > client.height())
            return true;
    }
    return total > client.height();
}

void GridGeometry::RecomputeScrollBars()
{
    if (!live)
        return;
    ScrollBarState &horizontal = bars[HorizontalBar];
    const int32_t lastColumn = store.Cols();
    const bool overflow = client.width() < TotalWidth();
    horizontal.Max = overflow ? lastColumn - 1 : lastColumn;
    horizontal.Position = std::min(horizontal.Position, std::max(horizontal.Max, 0));
    // When the columns fit, shown while scrolled right, so that the user can
    // scroll back.
    horizontal.Shown = overflow || horizontal.Position > 0;

    ScrollBarState &vertical = bars[VerticalBar];
    const int32_t lastIndex = store.ItemCount() - 1;
    if (RowsOverflow()) {
        // The first top row that shows the last row whole; a row taller than
        // the client is shown from its top.
        vertical.Max = std::min(lastIndex - RowsFittingFromBottom() + 1, lastIndex);
        vertical.Shown = true;
    } else {
        // Every row fits: none may stay scrolled out of sight.
        vertical.Max = lastIndex;
        vertical.Shown = false;
        vertical.Position = 0;
    }
    vertical.Position = std::min(vertical.Position, std::max(vertical.Max, 0));
}

bool GridGeometry::SetBarPosition(ScrollBarIndex which, int32_t value)
{
    ScrollBarState &bar = bars[which];
    if (!bar.Shown)
        return false;
    value = std::clamp(value, 0, std::max(bar.Max, 0));
    if (value == bar.Position)
        return false;
    bar.Position = value;
    return true;
}

int32_t GridGeometry::ActionTarget(ScrollBarIndex which, ScrollAction action, int32_t track) const
{
    const ScrollBarState &bar = bars[which];
    switch (action) {
    case ScrollAction::LineUp:
        return std::max(bar.Position - bar.LineStep, 0);
    case ScrollAction::LineDown:
        return std::min(bar.Position + bar.LineStep, bar.Max);
    case ScrollAction::PageUp:
        return bar.Position - bar.PageSize;
    case ScrollAction::PageDown:
        return bar.Position + bar.PageSize;
    case ScrollAction::ThumbTrack:
        return track;
    case ScrollAction::Top:
        return 0;
    case ScrollAction::Bottom:
        return bar.Max;
    case ScrollAction::EndScroll:
    case ScrollAction::ThumbPosition:
        break;
    }
    return bar.Position;
}

bool GridGeometry::SetTopRow(int32_t value)
{
    return SetBarPosition(VerticalBar, std::min(value, bars[VerticalBar].Max));
}

bool GridGeometry::ScrollIntoView(int32_t Row, int32_t Col)
{
    ScrollBarState &horizontal = bars[HorizontalBar];
    while (ColumnExtent(Col).OnScreen() && ColumnExtent(Col).Right > client.width() &&
        horizontal.Position < horizontal.Max)
        ++horizontal.Position;
    while (!ColumnExtent(Col).OnScreen() && horizontal.Position > 0)
        --horizontal.Position;

    // Never past the bar's maximum, which already shows the last row whole:
    // a later scroll downwards would otherwise move the view up.
    ScrollBarState &vertical = bars[VerticalBar];
    const int32_t shown = std::max(ItemsVisible(), 1);
    int32_t top = vertical.Position;
    if (Row < top)
        top = Row;
    else if (Row > top + shown - 1)
        top = Row - (shown - 1);
    vertical.Position = std::clamp(top, 0, vertical.Shown ? std::max(vertical.Max, 0) : 0);
    return horizontal.Position == 0;
}

void GridGeometry::ResetPositions()
{
    bars[HorizontalBar].Position = 0;
    bars[VerticalBar].Position = 0;
}
