// GridStore's columns and its whole-grid settings.
#include "controls/grid/GridStore.h"

#include "util/Errors.h"
#include "util/Numbers.h"

namespace {

QString DefaultInputFilter(int32_t datatype)
{
    if (datatype == ColTypeNumber)
        return QStringLiteral("1234567890.,-");
    if (datatype == ColTypeDate)
        return QStringLiteral("1234567890./-");
    return QString();
}

} // namespace

// ---- columns ----------------------------------------------------------------

void GridStore::CheckColumnPosition(int32_t Col) const
{
    if (Col < 0 || Col >= static_cast<int32_t>(columnOrder.size()))
        throw SubscriptError();
}

ColumnRecord &GridStore::Column(int32_t Index)
{
    if (Index < 0 || Index >= static_cast<int32_t>(columns.size()))
        throw SubscriptError();
    return columns[Index];
}

const ColumnRecord &GridStore::Column(int32_t Index) const
{
    return const_cast<GridStore *>(this)->Column(Index);
}

const ColumnRecord &GridStore::ColumnAt(int32_t Index) const
{
    return Column(Index);
}

void GridStore::ResetColumns(int32_t highestIndex)
{
    columns.assign(static_cast<size_t>(highestIndex) + 1, ColumnRecord());
    items.Widen(columns.size());
    columnOrder.resize(columns.size());
    for (size_t i = 0; i < columnOrder.size(); ++i)
        columnOrder[i] = static_cast<int32_t>(i);
    Q_EMIT ColumnsReset();
}

int32_t GridStore::AddColumn(const QString &Caption, float Width, int32_t Alignment, int32_t datatype,
    const QString &Format, const QString &InputFilter, int32_t ImageAlignment, bool WordWrap, int32_t Index)
{
    const int16_t type = ToInteger(datatype);
    int32_t n = 0;
    if (columns[0].Alignment != 0) {
        n = static_cast<int32_t>(columns.size());
        columns.emplace_back();
        columnOrder.push_back(n);
        items.Widen(columns.size());
    }

    int32_t position = n;
    if (Index >= 1 && Index < n && n >= 2) {
        for (int32_t p = n; p > Index; --p)
            columnOrder[p] = columnOrder[p - 1];
        position = Index;
    }
    columnOrder[position] = n;

    ColumnRecord &column = columns[n];
    column = ColumnRecord();
    column.Heading = Caption;
    column.Width = Width;
    column.Alignment = Alignment;
    column.ColType = type;
    column.Format = Format;
    column.InputFilter = InputFilter.isEmpty() ? DefaultInputFilter(datatype) : InputFilter;
    column.ImageAlignment = ImageAlignment;
    column.Flags = WordWrap ? CellFlagWordWrap : 0;
    column.SortOrder = 0;
    column.Visible = true;
    Q_EMIT ColumnAdded(n);
    RequestFullRefresh();
    return position;
}

QVariant GridStore::ColAttribute(int32_t Index, ColAttr attribute) const
{
    const ColumnRecord &column = Column(Index);
    switch (attribute) {
    case ColAttr::Heading:
        return column.Heading;
    case ColAttr::Width:
        return column.Width;
    case ColAttr::Alignment:
        return column.Alignment;
    case ColAttr::ImageAlignment:
        return column.ImageAlignment;
    case ColAttr::Format:
        return column.Format;
    case ColAttr::InputFilter:
        return column.InputFilter;
    case ColAttr::Type:
        return column.ColType;
    case ColAttr::Tag:
        return column.Tag;
    case ColAttr::Visible:
        return column.Visible;
    case ColAttr::WordWrap:
        return (column.Flags & CellFlagWordWrap) != 0;
    case ColAttr::SortOrder:
        return column.SortOrder;
    }
    return QVariant();
}

// What shows repaints; a new width also goes to the view's geometry. A word
// wrap setting applies to the column's new cells.
void GridStore::SetColAttribute(int32_t Index, ColAttr attribute, const QVariant &value)
{
    ColumnRecord &column = Column(Index);
    switch (attribute) {
    case ColAttr::Heading:
        column.Heading = value.toString();
        break;
    case ColAttr::Width:
        column.Width = value.toFloat();
        Q_EMIT ColumnWidthChanged(Index);
        break;
    case ColAttr::Alignment:
        column.Alignment = value.toInt();
        break;
    case ColAttr::ImageAlignment:
        column.ImageAlignment = value.toInt();
        break;
    case ColAttr::Format:
        column.Format = value.toString();
        break;
    case ColAttr::InputFilter:
        column.InputFilter = value.toString();
        return;
    case ColAttr::Type:
        column.ColType = ToInteger(value.toInt());
        return;
    case ColAttr::Tag:
        column.Tag = value.toString();
        return;
    case ColAttr::Visible:
        column.Visible = value.toBool();
        break;
    case ColAttr::WordWrap:
        column.Flags =
            value.toBool() ? uint16_t(column.Flags | CellFlagWordWrap) : uint16_t(column.Flags & ~CellFlagWordWrap);
        return;
    case ColAttr::SortOrder:
        column.SortOrder = value.toInt();
        return;
    }
    RequestRepaint();
}

int32_t GridStore::ColPosition(int32_t Index) const
{
    CheckColumnPosition(Index);
    return columnOrder[Index];
}

void GridStore::SetColPosition(int32_t Index, int32_t NewValue)
{
    CheckColumnPosition(Index);
    CheckColumnPosition(NewValue);
    const int32_t old = columnOrder[Index];
    if (old == NewValue)
        return;
    columnOrder[Index] = NewValue;
    columnOrder[NewValue] = old;
    RequestRepaint();
}

void GridStore::SwapColumnPositions(int32_t a, int32_t b)
{
    CheckColumnPosition(a);
    CheckColumnPosition(b);
    std::swap(columnOrder[static_cast<size_t>(a)], columnOrder[static_cast<size_t>(b)]);
    RequestRepaint();
}

int32_t GridStore::Cols() const
{
    return static_cast<int32_t>(columns.size()) - 1;
}

// Re-creates the column list with blank columns; the column order follows it
// as an identity order so every new display position can be used at once.
void GridStore::SetCols(int32_t NewValue)
{
    if (NewValue < 0)
        throw SubscriptError();
    ResetColumns(NewValue);
}

void GridStore::SetFormatString(const QString &value)
{
    props.FormatString = value;
    if (value.isEmpty()) {
        ResetColumns(0);
        Clear();
    } else {
        const QStringList parts = value.split(u'|');
        if (parts.size() > static_cast<int>(columns.size()))
            SetCols(static_cast<int32_t>(parts.size()));
        for (int k = 0; k < parts.size(); ++k) {
            ColumnRecord &column = columns[columnOrder[k]];
            const QString &part = parts[k];
            const QChar marker = part.isEmpty() ? QChar() : part[0];
            if (marker == u'^' || marker == u'<' || marker == u'>') {
                column.Heading = part.mid(1);
                column.Alignment = marker == u'^' ? 5 : (marker == u'<' ? 4 : 6);
            } else {
                column.Heading = part;
            }
            column.Width = 1000;
            column.Visible = true;
            Q_EMIT ColumnWidthChanged(columnOrder[k]);
        }
    }
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("FormatString"));
}

// ---- whole-grid settings ----------------------------------------------------

void GridStore::SetCacheIncrement(int32_t value)
{
    props.CacheIncrement = value >= 0 ? value : 1;
    Q_EMIT PropertyChanged(QStringLiteral("CacheIncrement"));
}

void GridStore::SetTrackEdits(bool value)
{
    props.TrackEdits = value;
    Q_EMIT PropertyChanged(QStringLiteral("TrackEdits"));
}
void GridStore::SetCheckBoxes(bool value)
{
    props.CheckBoxes = value;
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("Checkboxes"));
}

// Turned off, it keeps only the current row selected.
void GridStore::SetMultiSelect(bool value)
{
    props.MultiSelect = value;
    if (!value) {
        ClearSelection();
        if (currentRow >= 0)
            SelectRange(currentRow, currentRow);
        RequestFullRefresh();
    }
    Q_EMIT PropertyChanged(QStringLiteral("MultiSelect"));
}

void GridStore::SetAutoSizeRow(bool value)
{
    props.AutoSizeRow = value;
    RequestRepaint();
    Q_EMIT PropertyChanged(QStringLiteral("AutoSizeRow"));
}

void GridStore::SetBackColor(OleColour value)
{
    props.BackColor = value;
    RequestRepaint();
    Q_EMIT PropertyChanged(QStringLiteral("BackColor"));
}

void GridStore::SetForeColor(OleColour value)
{
    props.ForeColor = value;
    RequestRepaint();
    Q_EMIT PropertyChanged(QStringLiteral("ForeColor"));
}

void GridStore::SetFont(const QString &name, double size, bool bold)
{
    props.Font = FontDescription(name, size, bold);
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("Font"));
}

void GridStore::SetRowHeightMin(int32_t value)
{
    props.RowHeightMin = value;
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("RowHeightMin"));
}

void GridStore::SetRowHeightMax(int32_t value)
{
    props.RowHeightMax = value;
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("RowHeightMax"));
}

void GridStore::SetScaleUnits(int32_t value)
{
    props.ScaleUnits = value;
    Q_EMIT PropertyChanged(QStringLiteral("ScaleUnits"));
}
ImageList *GridStore::GetImageList() const
{
    return images;
}

void GridStore::SetImageList(ImageList *list)
{
    images = list;
    RequestFullRefresh();
}

void GridStore::SetThemeColor(int32_t value)
{
    props.ThemeColor = value;
    props.ApplyThemeColor();
    RequestRepaint();
    Q_EMIT PropertyChanged(QStringLiteral("ThemeColor"));
}

template <auto Field, typename Value>
void GridStore::SetViewProperty(const char *key, Value value, ViewEffect effect)
{
    props.*Field = value;
    if (effect == ViewEffect::Repaint)
        RequestRepaint();
    else if (effect == ViewEffect::FullRefresh)
        RequestFullRefresh();
    Q_EMIT PropertyChanged(QString::fromLatin1(key));
}

using P = ListGridProperties;

void GridStore::SetViewSetting(ViewSetting setting, const QVariant &value)
{
    const bool flag = value.toBool();
    const int32_t number = value.toInt();
    const OleColour colour = value.toUInt();
    using V = ViewSetting;
    using E = ViewEffect;
    switch (setting) {
    case V::EditTrigger:
        return SetViewProperty<&P::EditTrigger>("EditTrigger", number, E::None);
    case V::Editable:
        return SetViewProperty<&P::Editable>("Editable", flag, E::None);
    case V::HideSelection:
        return SetViewProperty<&P::HideSelection>("HideSelection", flag, E::FullRefresh);
    case V::FocusRectColor:
        return SetViewProperty<&P::FocusRectColor>("FocusRectColor", colour, E::None);
    case V::HotHeaderTracking:
        return SetViewProperty<&P::HotHeaderTracking>("HotHeaderTracking", flag, E::None);
    case V::AllowUserResizing:
        return SetViewProperty<&P::AllowUserResizing>("AllowUserResizing", number, E::None);
    case V::ColumnSort:
        return SetViewProperty<&P::ColumnSort>("ColumnSort", flag, E::None);
    case V::ColumnDrag:
        return SetViewProperty<&P::ColumnDrag>("ColumnDrag", flag, E::None);
    case V::ThemeColor:
        return SetThemeColor(number);
    case V::ThemeStyle:
        return SetViewProperty<&P::ThemeStyle>("ThemeStyle", number, E::Repaint);
    case V::ApplySelectionToImages:
        return SetViewProperty<&P::ApplySelectionToImages>("ApplySelectionToImages", flag, E::Repaint);
    case V::BackColorBkg:
        return SetViewProperty<&P::BackColorBkg>("BackColorBkg", colour, E::FullRefresh);
    case V::BackColorEdit:
        return SetViewProperty<&P::BackColorEdit>("BackColorEdit", colour, E::None);
    case V::BackColorFixed:
        return SetViewProperty<&P::BackColorFixed>("BackColorFixed", colour, E::Repaint);
    case V::BackColorSel:
        return SetViewProperty<&P::BackColorSel>("BackColorSel", colour, E::FullRefresh);
    case V::ForeColorEdit:
        return SetViewProperty<&P::ForeColorEdit>("ForeColorEdit", colour, E::None);
    case V::ForeColorFixed:
        return SetViewProperty<&P::ForeColorFixed>("ForeColorFixed", colour, E::Repaint);
    case V::ForeColorHdr:
        return SetViewProperty<&P::ForeColorHdr>("ForeColorHdr", colour, E::Repaint);
    case V::ForeColorSel:
        return SetViewProperty<&P::ForeColorSel>("ForeColorSel", colour, E::FullRefresh);
    case V::ForeColorTotals:
        return SetViewProperty<&P::ForeColorTotals>("ForeColorTotals", colour, E::FullRefresh);
    case V::GridColor:
        return SetViewProperty<&P::GridColor>("GridColor", colour, E::Repaint);
    case V::ProgressBarColor:
        return SetViewProperty<&P::ProgressBarColor>("ProgressBarColor", colour, E::Repaint);
    case V::AlphaBlendSelection:
        return SetViewProperty<&P::AlphaBlendSelection>("AlphaBlendSelection", flag, E::FullRefresh);
    case V::BorderStyle:
        return SetViewProperty<&P::BorderStyle>("BorderStyle", int32_t(ToInteger(number)), E::FullRefresh);
    case V::DisplayEllipsis:
        return SetViewProperty<&P::DisplayEllipsis>("DisplayEllipsis", flag, E::FullRefresh);
    case V::FocusRectMode:
        return SetViewProperty<&P::FocusRectMode>("FocusRectMode", number, E::FullRefresh);
    case V::FocusRectStyle:
        return SetViewProperty<&P::FocusRectStyle>("FocusRectStyle", number, E::FullRefresh);
    case V::GridLines:
        return SetViewProperty<&P::GridLines>("GridLines", flag, E::FullRefresh);
    case V::GridLineWidth:
        return SetViewProperty<&P::GridLineWidth>("GridLineWidth", number, E::Repaint);
    case V::ColumnHeaders:
        return SetViewProperty<&P::ColumnHeaders>("ColumnHeaders", flag, E::FullRefresh);
    case V::FullRowSelect:
        return SetViewProperty<&P::FullRowSelect>("FullRowSelect", flag, E::FullRefresh);
    case V::ScrollTrack:
        return SetViewProperty<&P::ScrollTrack>("ScrollTrack", flag, E::None);
    case V::SearchColumn:
        return SetViewProperty<&P::SearchColumn>("SearchColumn", number, E::None);
    case V::Enabled:
        return SetViewProperty<&P::Enabled>("Enabled", flag, E::Repaint);
    case V::Locked:
        return SetViewProperty<&P::Locked>("Locked", flag, E::None);
    }
}

const ListGridProperties &GridStore::Properties() const
{
    return props;
}

// A new grid keeps the table's colours: no preset is applied.
void GridStore::InitProperties(const QString &ambientFont)
{
    props.Init(ListGridProperties::Host{ambientFont});
    RequestFullRefresh();
}

// The values are stored as read; only then does the format string shape the
// columns (an empty one leaves no rows and one blank column) and the
// ThemeColor preset override the colours it covers.
void GridStore::ReadProperties(const PropertyStore &store, const QString &ambientFont)
{
    props.Read(store, ListGridProperties::Host{ambientFont});
    SetFormatString(props.FormatString);
    props.ApplyThemeColor();
    RequestFullRefresh();
}

void GridStore::WriteProperties(PropertyStore &store, const QString &ambientFont) const
{
    props.Write(store, ListGridProperties::Host{ambientFont});
}
