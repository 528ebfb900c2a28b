// GridStore's cells: texts, attributes, shared formats and images.
#include "controls/grid/GridStore.h"

#include "controls/grid/ImageList.h"
#include "util/Errors.h"
#include "util/Numbers.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsNumericVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    case QMetaType::QString: {
        bool ok = false;
        value.toString().toDouble(&ok);
        return ok;
    }
    default:
        return false;
    }
}

int32_t VariantToLong(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? -1 : 0;
    if (!IsNumericVariant(value))
        throw TypeMismatchError();
    return RoundToLong(value.toDouble());
}

// A colour is a 32-bit pattern: a system colour has the high bit set, so
// both a signed Long and an unsigned value up to FFFFFFFF are accepted.
OleColour VariantToColour(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool || !IsNumericVariant(value))
        return static_cast<OleColour>(VariantToLong(value));
    const double number = std::nearbyint(value.toDouble());
    if (!(number >= -2147483648.0 && number <= 4294967295.0))
        throw OverflowError();
    return static_cast<OleColour>(static_cast<int64_t>(number));
}

bool VariantToBoolean(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    if (!IsNumericVariant(value))
        throw TypeMismatchError();
    return value.toDouble() != 0;
}

// The flag bit that a yes-or-no cell attribute keeps, and whether changing
// it shows (the changed mark does not).
struct CellFlagOf {
    uint16_t Flag;
    bool Repaint;
};

CellFlagOf FlagOf(CellAttr attribute)
{
    switch (attribute) {
    case CellAttr::Checked:
        return {CellFlagChecked, true};
    case CellAttr::Changed:
        return {CellFlagChanged, false};
    case CellAttr::FontBold:
        return {CellFlagBold, true};
    case CellAttr::FontItalic:
        return {CellFlagItalic, true};
    case CellAttr::FontUnderline:
        return {CellFlagUnderline, true};
    case CellAttr::WordWrap:
        return {CellFlagWordWrap, true};
    default:
        return {0, false};
    }
}

} // namespace

// ---- bounds -------------------------------------------------------------------

size_t GridStore::CellIndex(int32_t Row, int32_t Col) const
{
    items.CheckPosition(Row);
    CheckColumnPosition(Col);
    return items.CellIndex(Row, columnOrder[Col]);
}

CellRecord &GridStore::CellAt(int32_t Row, int32_t Col)
{
    return items.Cell(CellIndex(Row, Col));
}

const CellRecord &GridStore::CellAt(int32_t Row, int32_t Col) const
{
    return items.Cell(CellIndex(Row, Col));
}

// ---- images -----------------------------------------------------------------

// A number is an image index; any other value is a key, stored as minus the
// index of the image with that key. An unknown key clears the image.
int32_t GridStore::ImageValue(const QVariant &value, bool &resolved) const
{
    resolved = true;
    if (IsNumericVariant(value))
        return RoundToLong(value.toDouble());
    const int index = images ? images->IndexOfKey(value.toString()) : 0;
    if (index <= 0) {
        resolved = false;
        return 0;
    }
    return -index;
}

QVariant GridStore::ImageVariant(int32_t stored) const
{
    if (stored < 0 && images)
        return images->KeyOf(-stored);
    return stored;
}

// ---- cells ------------------------------------------------------------------

QString GridStore::CellText(int32_t Row, int32_t Col) const
{
    return items.Text(CellIndex(Row, Col));
}

void GridStore::SetCellText(int32_t Row, int32_t Col, const QString &value)
{
    ShareCellText(Row, Col, CompactText(value));
}

void GridStore::ShareCellText(int32_t Row, int32_t Col, const CompactText &value)
{
    const size_t index = CellIndex(Row, Col);
    items.Text(index) = value;
    if (props.AutoSizeRow)
        Q_EMIT RowFitRequested(Row);
    if (props.TrackEdits)
        items.Cell(index).Flags |= CellFlagChanged;
    RequestRepaint();
}

QVariant GridStore::CellAttribute(int32_t Row, int32_t Col, CellAttr attribute) const
{
    const CellRecord &cell = CellAt(Row, Col);
    switch (attribute) {
    case CellAttr::Alignment:
        return cell.Alignment;
    case CellAttr::ProgressValue:
        return columns[columnOrder[Col]].ColType == ColTypeProgress ? static_cast<int16_t>(cell.Flags) : 0;
    case CellAttr::BackColor:
        return formats.Of(cell, BaseFormat()).BackColor;
    case CellAttr::ForeColor:
        return formats.Of(cell, BaseFormat()).ForeColor;
    case CellAttr::Image:
        return ImageVariant(formats.Of(cell, BaseFormat()).Image);
    case CellAttr::FontName:
        return formats.Of(cell, BaseFormat()).FontName;
    default:
        return (cell.Flags & FlagOf(attribute).Flag) != 0;
    }
}

void GridStore::SetCellAttribute(int32_t Row, int32_t Col, CellAttr attribute, const QVariant &value)
{
    switch (attribute) {
    case CellAttr::Alignment:
        CellAt(Row, Col).Alignment = ToInteger(value.toInt());
        RequestRepaint();
        break;
    case CellAttr::ProgressValue:
        SetCellProgressValue(Row, Col, value);
        break;
    case CellAttr::Image:
        SetCellImage(Row, Col, value);
        break;
    case CellAttr::BackColor:
    case CellAttr::ForeColor:
    case CellAttr::FontName:
        SetCellFormat(CellAt(Row, Col), attribute, value);
        RequestRepaint();
        break;
    default:
        SetCellFlag(Row, Col, FlagOf(attribute).Flag, value.toBool(), FlagOf(attribute).Repaint);
        break;
    }
}

bool GridStore::CellChecked(int32_t Row, int32_t Col) const
{
    return CellAttribute(Row, Col, CellAttr::Checked).toBool();
}

void GridStore::SetCellChecked(int32_t Row, int32_t Col, bool value)
{
    SetCellAttribute(Row, Col, CellAttr::Checked, value);
}

bool GridStore::CellChanged(int32_t Row, int32_t Col) const
{
    return CellAttribute(Row, Col, CellAttr::Changed).toBool();
}

QVariant GridStore::CellImage(int32_t Row, int32_t Col) const
{
    return CellAttribute(Row, Col, CellAttr::Image);
}

void GridStore::SetCellChanged(int32_t Row, int32_t Col, bool value)
{
    SetCellAttribute(Row, Col, CellAttr::Changed, value);
}

void GridStore::SetCellFlag(int32_t Row, int32_t Col, uint16_t flag, bool value, bool repaint)
{
    CellRecord &cell = CellAt(Row, Col);
    if (value)
        cell.Flags |= flag;
    else
        cell.Flags &= ~flag;
    if (repaint)
        RequestRepaint();
}

// Kept in progress columns only, clamped to 0..100.
void GridStore::SetCellProgressValue(int32_t Row, int32_t Col, const QVariant &value)
{
    CellRecord &cell = CellAt(Row, Col);
    if (columns[columnOrder[Col]].ColType != ColTypeProgress)
        return;
    cell.Flags = static_cast<uint16_t>(std::clamp(value.toInt(), 0, 100));
    RequestRepaint();
}

void GridStore::SetCellImage(int32_t Row, int32_t Col, const QVariant &value)
{
    CellRecord &cell = CellAt(Row, Col);
    bool resolved = true;
    const int32_t image = ImageValue(value, resolved);
    SetCellFormat(cell, CellAttr::Image, ToInteger(image));
    if (resolved)
        RequestRepaint();
}

// The row's colour or bold flag goes to each of its cells, with one repaint.
void GridStore::SetItemCells(int32_t Index, CellAttr attribute, const QVariant &value)
{
    for (int32_t c = 0; c <= Cols(); ++c) {
        if (attribute == CellAttr::FontBold)
            SetCellFlag(Index, c, CellFlagBold, value.toBool(), false);
        else
            SetCellFormat(CellAt(Index, c), attribute, value);
    }
    RequestRepaint();
}

// ---- shared formats ---------------------------------------------------------

FormatRecord GridStore::BaseFormat() const
{
    FormatRecord base;
    base.BackColor = props.BackColor;
    base.ForeColor = props.ForeColor;
    base.FontName = props.FontName();
    return base;
}

int16_t GridStore::DefaultFormat()
{
    return formats.Intern(BaseFormat());
}

// Every colour, image and font-name change of a cell comes here: the cell
// moves to the format record with the wanted attributes, shared with every
// other cell that has them.
void GridStore::SetCellFormat(CellRecord &cell, CellAttr attribute, const QVariant &value)
{
    FormatRecord wanted = formats.Of(cell, BaseFormat());
    switch (attribute) {
    case CellAttr::BackColor:
        wanted.BackColor = value.toUInt();
        break;
    case CellAttr::ForeColor:
        wanted.ForeColor = value.toUInt();
        break;
    case CellAttr::Image:
        wanted.Image = static_cast<int16_t>(value.toInt());
        break;
    case CellAttr::FontName:
        wanted.FontName = value.toString();
        break;
    default:
        return;
    }
    formats.Give(cell, wanted);
}

// Mode 1 back colour, 2 fore colour, 3 image, 4 font name, 5 to 7 bold,
// italic, underline; the value is converted once, before any cell changes.
void GridStore::FormatCells(
    int32_t RowFrom, int32_t RowTo, int32_t ColFrom, int32_t ColTo, int32_t Mode, const QVariant &NewValue)
{
    static const CellAttr byMode[] = {CellAttr::BackColor, CellAttr::ForeColor, CellAttr::Image, CellAttr::FontName,
        CellAttr::FontBold, CellAttr::FontItalic, CellAttr::FontUnderline};
    QVariant value;
    if (Mode == 1 || Mode == 2)
        value = VariantToColour(NewValue);
    else if (Mode == 3)
        value = VariantToLong(NewValue);
    else if (Mode == 4)
        value = NewValue.toString();
    else if (Mode >= 5 && Mode <= 7)
        value = VariantToBoolean(NewValue);
    else
        return;

    for (int32_t r = RowFrom; r <= RowTo; ++r) {
        for (int32_t c = ColFrom; c <= ColTo; ++c)
            SetCellAttribute(r, c, byMode[Mode - 1], value);
    }
}
