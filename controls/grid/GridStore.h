#pragma once

#include "controls/grid/GridEventArgs.h"
#include "controls/grid/GridFormats.h"
#include "controls/grid/GridItems.h"
#include "controls/grid/GridRecords.h"
#include "controls/grid/ListGridProperties.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <set>
#include <vector>

class ImageList;
class PropertyStore;

// The attributes of a row, a cell and a column that are read and written by
// name (GridStore's ItemAttribute, CellAttribute, ColAttribute).
enum class ItemAttr { Tag, Checked, Selected, Visible, Image, Height, BackColor, ForeColor, FontBold };
enum class CellAttr {
    Alignment,
    Checked,
    Changed,
    FontBold,
    FontItalic,
    FontUnderline,
    WordWrap,
    ProgressValue,
    BackColor,
    ForeColor,
    Image,
    FontName,
};
enum class ColAttr {
    Heading,
    Width,
    Alignment,
    ImageAlignment,
    Format,
    InputFilter,
    Type,
    Tag,
    Visible,
    WordWrap,
    SortOrder
};

// The settings the store keeps for the view only (SetViewSetting).
enum class ViewSetting {
    EditTrigger,
    Editable,
    HideSelection,
    FocusRectColor,
    HotHeaderTracking,
    AllowUserResizing,
    ColumnSort,
    ColumnDrag,
    ThemeColor,
    ThemeStyle,
    ApplySelectionToImages,
    BackColorBkg,
    BackColorEdit,
    BackColorFixed,
    BackColorSel,
    ForeColorEdit,
    ForeColorFixed,
    ForeColorHdr,
    ForeColorSel,
    ForeColorTotals,
    GridColor,
    ProgressBarColor,
    AlphaBlendSelection,
    BorderStyle,
    DisplayEllipsis,
    FocusRectMode,
    FocusRectStyle,
    GridLines,
    GridLineWidth,
    ColumnHeaders,
    FullRowSelect,
    ScrollTrack,
    SearchColumn,
    Enabled,
    Locked,
};

// The store of the list-and-grid control: rows (items) addressed by
// position, cells by (row position, column display position), the shared
// cell formats, the item order, the columns and the column order, and every
// member that reads or changes them. It needs no display: a headless run
// fills and reads it directly, and the ListGrid widget shows it.
// The rows and cells are kept in GridItems and the shared formats in
// GridFormats; this class says what a change means (events, requests to the
// view). Sorting and finding are units of their own over this store.
//
// The store asks its view for work through the request signals at the end
// of this class; while Redraw is off those requests are only recorded and
// replayed when it is turned back on.
//
// Positions and indexes are checked: one outside the current bounds throws
// SubscriptError and leaves the store unchanged.
class GridStore : public QObject {
    Q_OBJECT

public:
    explicit GridStore(QObject *parent = nullptr);

    // Rows.
    int32_t AddItem(const QString &item = QString(), int32_t Index = 0, bool Checked = false);
    void AddItems(int32_t count);
    void RemoveItem(int32_t Index);
    void Clear();
    int32_t CheckedCount() const;
    int32_t SelectedCount() const;
    void RefreshView();
    void RowCollaps(int32_t RowStart = 0, int32_t RowEnd = -1, bool bAutoSize = false, int32_t RowHeight = 0);

    int32_t ItemCount() const;
    int32_t ItemData(int32_t Index) const;
    void SetItemData(int32_t Index, int32_t value);
    // A row's other attributes by name; the colours and the bold flag are
    // set on every cell of the row, and read as nothing.
    QVariant ItemAttribute(int32_t Index, ItemAttr attribute) const;
    void SetItemAttribute(int32_t Index, ItemAttr attribute, const QVariant &value);
    // The view's answer to RowFitRequested: the pixel height that fits the
    // contents of row Index, kept within the minimum row height and
    // RowHeightMax.
    void SetFittedRowHeight(int32_t Index, int32_t Pixels);
    // Row Index back to the minimum row height, as a new row has (16
    // pixels while RowHeightMin is below 1).
    void ResetRowHeight(int32_t Index);

    // Cells: Row is a position, Col a display position.
    QString CellText(int32_t Row, int32_t Col) const;
    void SetCellText(int32_t Row, int32_t Col, const QString &value);
    // The same, sharing the caller's text rather than copying it.
    void ShareCellText(int32_t Row, int32_t Col, const CompactText &value);
    // Every other attribute of a cell by name. A progress value is clamped
    // to 0..100 and kept in progress columns only; an image is an index or
    // an image list key.
    QVariant CellAttribute(int32_t Row, int32_t Col, CellAttr attribute) const;
    void SetCellAttribute(int32_t Row, int32_t Col, CellAttr attribute, const QVariant &value);
    // The attributes the job table and the window set by name.
    bool CellChecked(int32_t Row, int32_t Col) const;
    void SetCellChecked(int32_t Row, int32_t Col, bool value);
    bool CellChanged(int32_t Row, int32_t Col) const;
    void SetCellChanged(int32_t Row, int32_t Col, bool value);
    QVariant CellImage(int32_t Row, int32_t Col) const;
    void SetCellImage(int32_t Row, int32_t Col, const QVariant &value);

    // Columns: Index is the column index, except for ColPosition (a display
    // position).
    int32_t AddColumn(const QString &Caption = QString(), float Width = 0, int32_t Alignment = 4, int32_t datatype = 0,
        const QString &Format = QString(), const QString &InputFilter = QString(), int32_t ImageAlignment = 4,
        bool WordWrap = false, int32_t Index = 0);
    QVariant ColAttribute(int32_t Index, ColAttr attribute) const;
    void SetColAttribute(int32_t Index, ColAttr attribute, const QVariant &value);
    int32_t ColPosition(int32_t Index) const;
    void SetColPosition(int32_t Index, int32_t NewValue);
    // The columns at display positions a and b exchange places.
    void SwapColumnPositions(int32_t a, int32_t b);
    int32_t Cols() const;
    void SetCols(int32_t NewValue);
    void SetFormatString(const QString &value);
    void FormatCells(
        int32_t RowFrom, int32_t RowTo, int32_t ColFrom, int32_t ColTo, int32_t Mode, const QVariant &NewValue);

    // The current cell.
    int32_t Row() const;
    void SetRow(int32_t value);
    int32_t Col() const;
    void SetCol(int32_t value);
    void GotoCell(int32_t lRow, int32_t lCol);
    // The input's way to the current cell: unless (row, col) is current
    // already and force is off, it becomes current (RowColChanged) and, when
    // scroll or force is set, is scrolled into view. True when it moved.
    bool MoveCurrentCell(int32_t row, int32_t col, bool scroll, bool force = false);

    // The selection as the input changes it. Each gives true when a flag
    // changed.
    bool ClearSelection();
    bool SelectRange(int32_t from, int32_t to);
    // The storage slots of the selected rows: compare two to see whether the
    // selection changed.
    const std::set<int32_t> &SelectedSlots() const { return items.SelectedSlots(); }

    // Whole-grid settings that shape rows and cells; their values are read
    // from Properties().
    bool Redraw() const;
    void SetRedraw(bool value);
    void SetCacheIncrement(int32_t value);
    void SetTrackEdits(bool value);
    void SetCheckBoxes(bool value);
    void SetMultiSelect(bool value);
    void SetAutoSizeRow(bool value);
    void SetBackColor(OleColour value);
    void SetForeColor(OleColour value);
    void SetFont(const QString &name, double size, bool bold = false);
    void SetRowHeightMin(int32_t value);
    void SetRowHeightMax(int32_t value);
    void SetScaleUnits(int32_t value);
    ImageList *GetImageList() const;
    void SetImageList(ImageList *images);

    // Settings the store only keeps for the view, by name; the ones the job
    // table and the window set have members of their own.
    void SetViewSetting(ViewSetting setting, const QVariant &value);
    void SetEditTrigger(int32_t value) { SetViewSetting(ViewSetting::EditTrigger, value); }
    void SetEditable(bool value) { SetViewSetting(ViewSetting::Editable, value); }
    void SetHideSelection(bool value) { SetViewSetting(ViewSetting::HideSelection, value); }
    void SetFocusRectColor(OleColour value) { SetViewSetting(ViewSetting::FocusRectColor, value); }
    void SetHotHeaderTracking(bool value) { SetViewSetting(ViewSetting::HotHeaderTracking, value); }
    void SetAllowUserResizing(int32_t value) { SetViewSetting(ViewSetting::AllowUserResizing, value); }
    void SetColumnSort(bool value) { SetViewSetting(ViewSetting::ColumnSort, value); }
    void SetForeColorHdr(OleColour value) { SetViewSetting(ViewSetting::ForeColorHdr, value); }
    const ListGridProperties &Properties() const;

    // The persisted settings of a grid newly placed on a form, of a saved
    // one being loaded, and saving them; ambientFont is the description of
    // the host's font, the default of the grid's font.
    void InitProperties(const QString &ambientFont);
    void ReadProperties(const PropertyStore &store, const QString &ambientFont);
    void WriteProperties(PropertyStore &store, const QString &ambientFont) const;

    // The control's own width in its container's units (twips), and the
    // screen's twips per pixel; both are the view's to set.
    float ControlWidth() const;
    void SetControlWidth(float value);
    void SetTwipsPerPixel(double value);
    // A vertical length in ScaleUnits as whole pixels (halves to even), and
    // the minimum row height in pixels (16 when RowHeightMin is below 1).
    int32_t ToPixels(double length) const;
    int32_t MinimumRowHeightPixels() const;
    // Asks for the repaint a suspended paint owes (Redraw was off).
    void NoteSkippedPaint() { RedrawPending = true; }

    // Raw access for the view and for sorting: the item at a position, a
    // column by index, a row's cell in a column index (not a display
    // position; null, and an empty text, where the row has no cell), the
    // format table.
    const ItemRecord &ItemAt(int32_t Index) const;
    const ColumnRecord &ColumnAt(int32_t Index) const;
    const CellRecord *CellIn(int32_t Index, int32_t column) const;
    const CompactText &CellTextIn(int32_t Index, int32_t column) const;
    const std::vector<FormatRecord> &Formats() const;

    // For sorting: the item order over the used positions, and its
    // replacement by a permutation of itself. The current row moves with its
    // item and the view repaints.
    std::vector<int32_t> ItemOrder() const;
    void ReorderItems(const std::vector<int32_t> &order);

Q_SIGNALS:
    // The control's events that the store raises.
    void ItemCountChanged();
    void RowColChanged();
    void SelectionChanged();
    // Raised by sorting: once per comparison on a custom column, and after
    // every completed sort.
    void CustomSort(CustomSortArgs *args);
    void SortComplete();

    // The rows were emptied (Clear); what is kept per sort or search over
    // the rows starts afresh.
    void Cleared();
    // The column list was re-created blank (Cols, an empty FormatString).
    void ColumnsReset();
    // Column Index holds a new record (AddColumn).
    void ColumnAdded(int32_t Index);
    // Column Index was given a new width (ColWidth, FormatString).
    void ColumnWidthChanged(int32_t Index);

    // Requests to the view. While Redraw is off the first three are held
    // back.
    void RepaintRequested();
    void LayoutRequested();
    void ScrollBarsRequested();
    // With AutoSizeRow on: row Index is to be made as tall as its contents.
    // The view measures them (it knows the font) and answers at once, from
    // a direct connection, with SetFittedRowHeight.
    void RowFitRequested(int32_t Index);
    // GotoCell made (Row, Col) current: the view scrolls it into view.
    void ScrollIntoViewRequested(int32_t Row, int32_t Col);
    // A persisted setting changed (the host saves it).
    void PropertyChanged(const QString &name);

private:
    // What changing a view setting asks of the view.
    enum class ViewEffect { None, Repaint, FullRefresh };
    template <auto Field, typename Value>
    void SetViewProperty(const char *key, Value value, ViewEffect effect);
    void SetThemeColor(int32_t value);

    void RequestRepaint();
    void RequestFullRefresh();
    void RequestUnconditionalRefresh();

    void CheckColumnPosition(int32_t Col) const;
    // The index of a cell in the storage, checked: a position and a display
    // position.
    size_t CellIndex(int32_t Row, int32_t Col) const;
    CellRecord &CellAt(int32_t Row, int32_t Col);
    const CellRecord &CellAt(int32_t Row, int32_t Col) const;
    ColumnRecord &Column(int32_t Index);
    const ColumnRecord &Column(int32_t Index) const;

    void SetCellFlag(int32_t Row, int32_t Col, uint16_t flag, bool value, bool repaint);
    void SetItemFlag(int32_t Index, uint16_t flag, bool value);
    void SetItemSelected(int32_t Index, bool value);
    void SetRowHeight(int32_t Index, float value);
    void SetItemCells(int32_t Index, CellAttr attribute, const QVariant &value);
    void SetCellProgressValue(int32_t Row, int32_t Col, const QVariant &value);

    // The grid's colours and font: the format of a cell without one, and
    // the format a new cell starts with.
    FormatRecord BaseFormat() const;
    int16_t DefaultFormat();
    void SetCellFormat(CellRecord &cell, CellAttr attribute, const QVariant &value);

    int32_t ImageValue(const QVariant &value, bool &resolved) const;
    QVariant ImageVariant(int32_t stored) const;
    void ResetColumns(int32_t highestIndex);
    void SetCurrentCell(int32_t row, int32_t col);

    GridFormats formats;
    std::vector<ColumnRecord> columns; // column index -> record
    std::vector<int32_t> columnOrder;  // display position -> column index
    GridItems items{formats, columns};
    int32_t currentRow = -1;
    int32_t currentCol = -1;
    bool RedrawPending = false;
    bool LayoutPending = false;
    ListGridProperties props;
    ImageList *images = nullptr;
    float controlWidth = 0;
    double twipsPerPixel = 15.0;
};
