#include "controls/grid/GridPainter.h"

#include "controls/ControlColours.h"
#include "controls/grid/CellFormat.h"
#include "controls/grid/DrawnImages.h"
#include "controls/grid/GridSort.h"
#include "controls/grid/GridStore.h"
#include "util/Numbers.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <cstdlib>

namespace {

constexpr OleColour ButtonShadow = SystemColour(16);
constexpr OleColour WindowText = SystemColour(8);

struct Gradient {
    QColor Top;
    QColor Bottom;
};

// Header looks 3 and 4 by state (normal, hot, pressed).
Gradient HeaderGradient(int32_t look, int state)
{
    static const Gradient blue[] = {{QColor(203, 225, 252), QColor(125, 165, 224)},
        {QColor(255, 255, 220), QColor(247, 192, 91)}, {QColor(232, 127, 8), QColor(247, 218, 124)}};
    static const Gradient dark[] = {{QColor(96, 106, 128), QColor(22, 26, 44)},
        {QColor(255, 255, 220), QColor(247, 192, 91)}, {QColor(64, 74, 128), QColor(6, 10, 44)}};
    return (look == 3 ? blue : dark)[state - 1];
}

Qt::Alignment TextAlignment(int32_t code)
{
    const int32_t horizontal = code & 3;
    const int32_t vertical = code & 12;
    Qt::Alignment flags = horizontal == 1 ? Qt::AlignHCenter : horizontal == 2 ? Qt::AlignRight : Qt::AlignLeft;
    flags |= vertical == 4 ? Qt::AlignVCenter : vertical == 8 ? Qt::AlignBottom : Qt::AlignTop;
    return flags;
}

// A rectangle given by its edges, right and bottom exclusive.
QRect Edges(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

GridPainter::GridPainter(const GridView &view)
    : grid(view.Widget),
      store(view.Store),
      geometry(view.Geometry),
      sorter(view.Sorter),
      pictures(view.Pictures),
      viewState(view.State),
      props(view.Store.Properties()),
      font(Font(view.Store.Properties()))
{
}

QFont GridPainter::Font(const ListGridProperties &props)
{
    QFont described;
    described.fromString(props.Font);
    const QString family = described.family();
    if (family.isEmpty() || family == QLatin1String("MS Sans Serif") || family == QLatin1String("Tahoma")) {
        QFont desktop = QApplication::font();
        if (described.pointSizeF() > 0)
            desktop.setPointSizeF(described.pointSizeF());
        desktop.setBold(described.bold());
        return desktop;
    }
    return described;
}

QColor GridPainter::BlendSelection(const QColor &selection, const QColor &back)
{
    const auto channel = [](int sel, int row) {
        return static_cast<int>(RoundHalfEven(sel * 120.0 / 255.0 + row * 135.0 / 255.0));
    };
    return QColor(channel(selection.red(), back.red()), channel(selection.green(), back.green()),
        channel(selection.blue(), back.blue()));
}

bool GridPainter::StyleDrawsHeaders(const QStyle *style)
{
    static const QStyle *asked = nullptr;
    static bool draws = true;
    if (style != asked) {
        QImage probe(16, 16, QImage::Format_ARGB32_Premultiplied);
        probe.fill(Qt::transparent);
        QPainter p(&probe);
        QStyleOptionHeader option;
        option.rect = probe.rect();
        option.state = QStyle::State_Enabled | QStyle::State_Raised;
        style->drawControl(QStyle::CE_HeaderSection, &option, &p);
        p.end();
        draws = false;
        for (int y = 0; y < probe.height() && !draws; ++y) {
            for (int x = 0; x < probe.width() && !draws; ++x)
                draws = qAlpha(probe.pixel(x, y)) != 0;
        }
        asked = style;
    }
    return draws;
}

QColor GridPainter::Colour(OleColour c) const
{
    return ToQColor(c, grid.palette());
}

bool GridPainter::Themed() const
{
    const int32_t look = props.ThemeStyle;
    if (look == 2)
        return StyleDrawsHeaders(grid.style());
    return look == 3 || look == 4;
}

void GridPainter::Paint(QPainter &p)
{
    const QSize client = geometry.ClientSize();
    p.fillRect(QRect(QPoint(0, 0), client), Colour(props.BackColorBkg));
    p.setFont(font);
    rightEnd = geometry.RightEnd();
    if (props.ColumnHeaders)
        PaintHeader(p);
    const std::vector<GridGeometry::VisibleRow> rows = geometry.VisibleRows();
    for (const GridGeometry::VisibleRow &row : rows)
        PaintRow(p, row);
    PaintGridLines(p, rows);
    PaintFocusRect(p, rows);
}

// ---- header -----------------------------------------------------------------

void GridPainter::PaintHeader(QPainter &p)
{
    const int32_t height = geometry.HeaderHeight();
    for (int32_t c = geometry.LeftCol(); c <= store.Cols(); ++c) {
        const ColumnSpan span = geometry.ColumnExtent(c);
        const int32_t width = span.Right - span.Left;
        if (width <= 0)
            continue;
        const int32_t left = c == viewState.DraggedColumn ? viewState.DraggedLeft : span.Left;
        PaintHeaderCell(p, c, QRect(left, 0, width, height));
    }
}

void GridPainter::PaintHeaderCell(QPainter &p, int32_t Col, const QRect &cell)
{
    HeaderState state = HeaderNormal;
    if (viewState.PressedColumn == Col)
        state = HeaderPressed;
    else if (props.HotHeaderTracking && viewState.HotColumn == Col)
        state = HeaderHot;

    p.fillRect(cell, Colour(props.BackColorFixed));
    PaintHeaderLook(p, cell, state);

    const int32_t column = store.ColPosition(Col);
    const bool glyph = PaintSortGlyph(p, column, cell);
    const int32_t right = cell.x() + cell.width();
    const QRect caption = Edges(cell.x() + 3, 0, right - (glyph ? 13 : 6), cell.height());
    int32_t alignment = store.ColumnAt(column).Alignment;
    if (alignment == 0)
        alignment = 4;
    else if (alignment == 2)
        alignment = 6;
    p.setPen(Colour(props.ForeColorHdr));
    PaintText(p, caption, store.ColumnAt(column).Heading, alignment, false);
}

void GridPainter::PaintHeaderLook(QPainter &p, const QRect &cell, HeaderState state)
{
    switch (props.ThemeStyle) {
    case 0:
        PaintButtonLook(p, cell, state, false);
        break;
    case 1:
        PaintButtonLook(p, cell, state, true);
        break;
    case 2:
        PaintStyledHeader(p, cell, state);
        break;
    case 3:
    case 4:
        PaintGradientHeader(p, cell, state);
        break;
    default:
        break;
    }
}

void GridPainter::PaintButtonLook(QPainter &p, const QRect &cell, HeaderState state, bool flat)
{
    if (flat && state == HeaderNormal) {
        // A flat button: the face with a shadow along its right and bottom.
        p.fillRect(cell.x(), cell.bottom(), cell.width(), 1, Colour(ButtonShadow));
        p.fillRect(cell.right(), cell.y(), 1, cell.height(), Colour(ButtonShadow));
        return;
    }
    QStyleOptionButton option;
    option.initFrom(&grid);
    option.rect = cell;
    option.palette.setColor(QPalette::Button, Colour(props.BackColorFixed));
    option.state = QStyle::State_Enabled | (state == HeaderPressed ? QStyle::State_Sunken : QStyle::State_Raised);
    if (state == HeaderHot)
        option.state |= QStyle::State_MouseOver;
    else
        option.state &= ~QStyle::State_MouseOver;
    option.state &= ~QStyle::State_HasFocus;
    grid.style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &p, &grid);
}

void GridPainter::PaintStyledHeader(QPainter &p, const QRect &cell, HeaderState state)
{
    if (!StyleDrawsHeaders(grid.style())) {
        PaintPlainHeader(p, cell, state);
        return;
    }
    QStyleOptionHeader option;
    option.initFrom(&grid);
    option.rect = cell;
    option.orientation = Qt::Horizontal;
    option.position = QStyleOptionHeader::Middle;
    option.state = QStyle::State_Enabled | QStyle::State_Horizontal;
    option.state |= state == HeaderPressed ? QStyle::State_Sunken : QStyle::State_Raised;
    if (state == HeaderHot)
        option.state |= QStyle::State_MouseOver;
    grid.style()->drawControl(QStyle::CE_HeaderSection, &option, &p, &grid);
}

// Without a style that draws headers: a few lines along the bottom that
// imitate one (greys in the normal state, an orange band when hot) and a
// separator at the right.
void GridPainter::PaintPlainHeader(QPainter &p, const QRect &cell, HeaderState state)
{
    static const QColor normal[] = {QColor(226, 222, 205), QColor(214, 210, 194), QColor(203, 199, 184)};
    static const QColor hot[] = {QColor(250, 200, 90), QColor(249, 177, 25), QColor(248, 169, 0)};
    const QColor *lines = state == HeaderHot ? hot : normal;
    for (int i = 0; i < 3; ++i)
        p.fillRect(cell.x(), cell.bottom() - 2 + i, cell.width(), 1, lines[i]);
    if (state == HeaderPressed)
        p.fillRect(cell.adjusted(0, 0, 0, -3), QColor(0, 0, 0, 24));
    p.fillRect(cell.right(), cell.y() + 3, 1, cell.height() - 6, QColor(199, 197, 178));
}

void GridPainter::PaintGradientHeader(QPainter &p, const QRect &cell, HeaderState state)
{
    const Gradient colours = HeaderGradient(props.ThemeStyle, state);
    QLinearGradient gradient(0, cell.top() + 1, 0, cell.bottom() - 1);
    gradient.setColorAt(0, colours.Top);
    gradient.setColorAt(1, colours.Bottom);
    p.fillRect(cell, gradient);

    const QColor outline(59, 97, 156);
    p.fillRect(cell.x(), cell.top(), cell.width(), 1, outline);
    p.fillRect(cell.x(), cell.bottom(), cell.width(), 1, outline);
    p.fillRect(cell.right(), cell.top(), 1, cell.height(), outline);
    if (state == HeaderNormal)
        p.fillRect(cell.x(), cell.bottom() - 1, cell.width() - 1, 1, QColor(106, 140, 203));
    p.fillRect(cell.x(), cell.top() + 1, 1, cell.height() - 3, Qt::white);
}

bool GridPainter::PaintSortGlyph(QPainter &p, int32_t column, const QRect &cell)
{
    const bool primary = column == sorter.SortCol();
    if (cell.width() < 9 || (!primary && column != sorter.SubSortCol()))
        return false;
    const int32_t lines = primary ? 5 : 3;
    const int32_t base = primary ? 9 : 6;
    const bool pointsUp = store.ColumnAt(column).SortOrder == 1;
    const int32_t x = cell.x() + cell.width() - 12;
    const QColor shadow = Colour(ButtonShadow);
    for (int32_t i = 0; i < lines; ++i) {
        const int32_t y = 6 + (pointsUp ? lines - 1 - i : i);
        p.fillRect(x + i, y, base - 2 * i, 1, shadow);
    }
    return true;
}

// ---- rows -------------------------------------------------------------------

bool GridPainter::RowDrawnSelected(int32_t Row) const
{
    return (store.ItemAt(Row).Flags & ItemFlagSelected) != 0 && (props.MultiSelect || props.FullRowSelect);
}

void GridPainter::PaintRow(QPainter &p, const GridGeometry::VisibleRow &row)
{
    const bool selected = RowDrawnSelected(row.Row);
    PaintRowBackground(p, row, selected);
    for (int32_t c = geometry.LeftCol(); c <= store.Cols(); ++c)
        PaintCell(p, row, c, selected);
    p.setClipping(false);
    if (props.GridLines) {
        const int32_t width = std::max(props.GridLineWidth, 1);
        p.fillRect(0, row.Bottom - width / 2, rightEnd, width, Colour(props.GridColor));
    }
}

void GridPainter::PaintRowBackground(QPainter &p, const GridGeometry::VisibleRow &row, bool selected)
{
    const QColor back = Colour(props.BackColor);
    const QRect whole = Edges(0, row.Top + 1, rightEnd, row.Bottom + 1);
    if (!selected) {
        p.fillRect(whole, back);
        return;
    }
    QColor selection = Colour(props.BackColorSel);
    if (props.AlphaBlendSelection)
        selection = BlendSelection(selection, back);
    int32_t from = 0;
    if (geometry.LeftCol() == 0) {
        // The check box and row image stand on the ordinary background.
        const ColumnSpan first = geometry.ColumnExtent(0);
        from = std::min(geometry.Layout().TextIndent, first.Right - first.Left);
        p.fillRect(Edges(0, whole.top(), from, row.Bottom + 1), back);
    }
    p.fillRect(Edges(from, whole.top(), rightEnd, row.Bottom + 1), selection);
}

void GridPainter::PaintCell(QPainter &p, const GridGeometry::VisibleRow &row, int32_t Col, bool selected)
{
    const ColumnSpan span = geometry.ColumnExtent(Col);
    const int32_t width = span.Right - span.Left;
    const int32_t column = store.ColPosition(Col);
    const CellRecord *found = store.CellIn(row.Row, column);
    if (width <= 0 || !found)
        return;
    const CellRecord &cell = *found;
    const ItemRecord &item = store.ItemAt(row.Row);
    const FormatRecord &format = store.Formats()[static_cast<size_t>(std::max<int16_t>(cell.FormatIndex, 0))];
    const QRect rect = Edges(span.Left, row.Top, span.Right, row.Bottom);
    p.setClipRect(rect);
    if (!selected && format.BackColor != props.BackColor)
        p.fillRect(rect, Colour(format.BackColor));

    const GridLayout &layout = geometry.Layout();
    if (Col == 0 && props.CheckBoxes)
        PaintCheckBox(p, Edges(3, row.Top, layout.CheckBoxSize, row.Bottom), (item.Flags & ItemFlagChecked) != 0);
    if (Col == 0 && item.Image != 0 && pictures) {
        const int32_t x = props.CheckBoxes ? layout.CheckBoxSize + 2 : 3;
        pictures->Draw(
            p, std::abs(item.Image), QRect(x, row.Top + layout.ImageTop, layout.ImageWidth, layout.ImageHeight));
    }

    const int16_t type = static_cast<int16_t>(store.ColumnAt(column).ColType);
    if (type == ColTypeCheckBox) {
        const int32_t size = layout.CheckBoxSize;
        PaintCheckBox(p, BoxInCell(store.ColumnAt(column).Alignment, rect, QSize(size, size)),
            (cell.Flags & CellFlagChecked) != 0);
        return;
    }
    if (type == ColTypeProgress) {
        PaintProgress(p, rect, cell.Flags);
        return;
    }
    if (format.Image != 0 && pictures) {
        const QSize size(layout.ImageWidth, layout.ImageHeight);
        pictures->Draw(p, std::abs(format.Image), BoxInCell(store.ColumnAt(column).ImageAlignment, rect, size));
    }

    QFont cellFont = font;
    if (!format.FontName.isEmpty() && format.FontName != store.Properties().FontName())
        cellFont.setFamily(format.FontName);
    cellFont.setBold(font.bold() || (cell.Flags & CellFlagBold) != 0);
    cellFont.setItalic((cell.Flags & CellFlagItalic) != 0);
    cellFont.setUnderline((cell.Flags & CellFlagUnderline) != 0);
    p.setFont(cellFont);
    p.setPen(selected ? Colour(props.ForeColorSel) : Colour(format.ForeColor));
    const QRect textRect =
        Col == 0 ? Edges(layout.TextIndent, row.Top, span.Right - 3, row.Bottom) : rect.adjusted(3, 0, -3, 0);
    const QString shown = FormatCellText(store.CellTextIn(row.Row, column), store.ColumnAt(column).Format);
    PaintText(p, textRect, shown, cell.Alignment, (cell.Flags & CellFlagWordWrap) != 0);
    p.setFont(font);
}

void GridPainter::PaintCheckBox(QPainter &p, const QRect &area, bool checked)
{
    const int32_t side = std::min(area.width(), area.height());
    if (side < 1)
        return;
    const QRect box(area.x(), area.y() + (area.height() - side) / 2, side, side);
    if (Themed()) {
        QStyleOptionButton option;
        option.initFrom(&grid);
        option.rect = box;
        option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
        option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        grid.style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, &grid);
        return;
    }
    // The flat standard box: a white square in a shadow frame.
    p.fillRect(box, Qt::white);
    p.fillRect(box.x(), box.y(), box.width(), 1, Colour(ButtonShadow));
    p.fillRect(box.x(), box.bottom(), box.width(), 1, Colour(ButtonShadow));
    p.fillRect(box.x(), box.y(), 1, box.height(), Colour(ButtonShadow));
    p.fillRect(box.right(), box.y(), 1, box.height(), Colour(ButtonShadow));
    if (!checked)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath tick;
    const QRectF inner = QRectF(box).adjusted(2.5, 2.5, -2.5, -2.5);
    tick.moveTo(inner.left(), inner.top() + inner.height() * 0.5);
    tick.lineTo(inner.left() + inner.width() * 0.4, inner.bottom() - inner.height() * 0.1);
    tick.lineTo(inner.right(), inner.top() + inner.height() * 0.1);
    p.setPen(QPen(Colour(WindowText), std::max(1.5, side / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.restore();
}

void GridPainter::PaintProgress(QPainter &p, const QRect &cell, int32_t value)
{
    if (value <= 0)
        return;
    const int32_t filled = static_cast<int32_t>(RoundHalfEven((cell.width() - 2) / 100.0 * value));
    p.fillRect(Edges(cell.left() + 2, cell.top() + 2, cell.left() + filled, cell.top() + cell.height() - 2),
        Colour(props.ProgressBarColor));
}

void GridPainter::PaintText(QPainter &p, const QRect &rect, const QString &text, int32_t alignment, bool wrap)
{
    if (text.isEmpty() || rect.width() <= 0)
        return;
    const Qt::Alignment flags = TextAlignment(alignment);
    if (wrap) {
        p.drawText(rect, static_cast<int>(flags) | Qt::TextWordWrap, text);
        return;
    }
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (props.DisplayEllipsis)
        line = QFontMetrics(p.font()).elidedText(line, Qt::ElideRight, rect.width());
    p.drawText(rect, static_cast<int>(flags) | Qt::TextSingleLine, line);
}

// ---- lines and focus --------------------------------------------------------

void GridPainter::PaintGridLines(QPainter &p, const std::vector<GridGeometry::VisibleRow> &rows)
{
    if (!props.GridLines || rows.empty())
        return;
    const int32_t width = std::max(props.GridLineWidth, 1);
    const int32_t top = geometry.HeaderHeight();
    const int32_t bottom = rows.back().Bottom + 1;
    const QColor colour = Colour(props.GridColor);
    for (int32_t c = geometry.LeftCol(); c <= store.Cols(); ++c) {
        const ColumnSpan span = geometry.ColumnExtent(c);
        if (span.Right > span.Left)
            p.fillRect(span.Right - 1 - width / 2, top, width, bottom - top, colour);
    }
}

void GridPainter::PaintFocusRect(QPainter &p, const std::vector<GridGeometry::VisibleRow> &rows)
{
    const int32_t current = store.Row();
    if (props.FocusRectMode == 0 || current < 0 || !props.Enabled)
        return;
    if (props.HideSelection && !viewState.HasFocus)
        return;
    const auto row = std::find_if(rows.begin(), rows.end(), [current](const auto &r) { return r.Row == current; });
    if (row == rows.end())
        return;
    int32_t left = geometry.Layout().TextIndent;
    int32_t right = rightEnd;
    if (props.FocusRectMode == 2) {
        if (store.Col() < 0)
            return;
        const ColumnSpan span = geometry.ColumnGeometry(store.Col());
        if (!span.OnScreen())
            return;
        left = span.Left;
        right = span.Right;
    }
    const QRect frame = Edges(left, row->Top + 1, right, row->Bottom);
    if (props.FocusRectStyle == 0) {
        p.setPen(QPen(Colour(WindowText), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame.adjusted(0, 0, -1, -1));
    } else if (props.FocusRectStyle == 1) {
        const QColor colour = Colour(props.FocusRectColor);
        p.fillRect(frame.x(), frame.y(), frame.width(), 1, colour);
        p.fillRect(frame.x(), frame.bottom(), frame.width(), 1, colour);
        p.fillRect(frame.x(), frame.y(), 1, frame.height(), colour);
        p.fillRect(frame.right(), frame.y(), 1, frame.height(), colour);
    }
}
