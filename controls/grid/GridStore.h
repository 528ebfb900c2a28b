#pragma once

#include "controls/grid/GridEventArgs.h"
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

// The store of the list-and-grid control: rows (items) addressed by
// position, cells by (row position, column display position), the shared
// cell formats, the item order, the columns and the column order, and every
// member that reads or changes them. It needs no display: a headless run
// fills and reads it directly, and the ListGrid widget shows it.
// Sorting and finding are units of their own over this store.
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
    QString ItemTag(int32_t Index) const;
    void SetItemTag(int32_t Index, const QString &value);
    bool ItemChecked(int32_t Index) const;
    void SetItemChecked(int32_t Index, bool value);
    bool ItemSelected(int32_t Index) const;
    void SetItemSelected(int32_t Index, bool value);
    bool ItemVisible(int32_t Index) const;
    void SetItemVisible(int32_t Index, bool value);
    QVariant ItemImage(int32_t Index) const;
    void SetItemImage(int32_t Index, const QVariant &value);
    void SetItemBackColor(int32_t Index, OleColour value);
    void SetItemForeColor(int32_t Index, OleColour value);
    void SetItemFontBold(int32_t Index, bool value);
    float RowHeight(int32_t Index) const;
    void SetRowHeight(int32_t Index, float value);
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
    int32_t CellAlignment(int32_t Row, int32_t Col) const;
    void SetCellAlignment(int32_t Row, int32_t Col, int32_t value);
    bool CellChecked(int32_t Row, int32_t Col) const;
    void SetCellChecked(int32_t Row, int32_t Col, bool value);
    bool CellChanged(int32_t Row, int32_t Col) const;
    void SetCellChanged(int32_t Row, int32_t Col, bool value);
    bool CellFontBold(int32_t Row, int32_t Col) const;
    void SetCellFontBold(int32_t Row, int32_t Col, bool value);
    bool CellFontItalic(int32_t Row, int32_t Col) const;
    void SetCellFontItalic(int32_t Row, int32_t Col, bool value);
    bool CellFontUnderline(int32_t Row, int32_t Col) const;
    void SetCellFontUnderline(int32_t Row, int32_t Col, bool value);
    bool CellWordWrap(int32_t Row, int32_t Col) const;
    void SetCellWordWrap(int32_t Row, int32_t Col, bool value);
    int16_t CellProgressValue(int32_t Row, int32_t Col) const;
    // Clamps value to 0..100 and hands the clamped value back to the caller.
    void SetCellProgressValue(int32_t Row, int32_t Col, int16_t &value);
    OleColour CellBackColor(int32_t Row, int32_t Col) const;
    void SetCellBackColor(int32_t Row, int32_t Col, OleColour value);
    OleColour CellForeColor(int32_t Row, int32_t Col) const;
    void SetCellForeColor(int32_t Row, int32_t Col, OleColour value);
    QVariant CellImage(int32_t Row, int32_t Col) const;
    void SetCellImage(int32_t Row, int32_t Col, const QVariant &value);
    QString CellFontName(int32_t Row, int32_t Col) const;
    void SetCellFontName(int32_t Row, int32_t Col, const QString &value);

    // Columns: Index is the column index, except for ColPosition (a display
    // position).
    int32_t AddColumn(const QString &Caption = QString(), float Width = 0, int32_t Alignment = 4,
                      int32_t datatype = 0, const QString &Format = QString(),
                      const QString &InputFilter = QString(), int32_t ImageAlignment = 4,
                      bool WordWrap = false, int32_t Index = 0);
    QString ColHeading(int32_t Index) const;
    void SetColHeading(int32_t Index, const QString &value);
    float ColWidth(int32_t Index) const;
    void SetColWidth(int32_t Index, float value);
    int32_t ColAlignment(int32_t Index) const;
    void SetColAlignment(int32_t Index, int32_t value);
    int32_t ColImageAlignment(int32_t Index) const;
    void SetColImageAlignment(int32_t Index, int32_t value);
    QString ColFormat(int32_t Index) const;
    void SetColFormat(int32_t Index, const QString &value);
    QString ColInputFilter(int32_t Index) const;
    void SetColInputFilter(int32_t Index, const QString &value);
    int32_t ColType(int32_t Index) const;
    void SetColType(int32_t Index, int32_t value);
    QString ColTag(int32_t Index) const;
    void SetColTag(int32_t Index, const QString &value);
    bool ColVisible(int32_t Index) const;
    void SetColVisible(int32_t Index, bool value);
    bool ColWordWrap(int32_t Index) const;
    void SetColWordWrap(int32_t Index, bool value);
    int32_t ColPosition(int32_t Index) const;
    void SetColPosition(int32_t Index, int32_t NewValue);
    // The columns at display positions a and b exchange places.
    void SwapColumnPositions(int32_t a, int32_t b);
    int32_t Cols() const;
    void SetCols(int32_t NewValue);
    QString FormatString() const;
    void SetFormatString(const QString &value);
    void FormatCells(int32_t RowFrom, int32_t RowTo, int32_t ColFrom, int32_t ColTo, int32_t Mode,
                     const QVariant &NewValue);

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

    // The selection as the input changes it. The selected rows are also
    // kept as a set of storage slots, so clearing costs the rows selected,
    // not the rows there are. Each gives true when a flag changed.
    bool ClearSelection();
    bool SelectRange(int32_t from, int32_t to);
    // The storage slots of the selected rows: compare two to see whether the
    // selection changed.
    const std::set<int32_t> &SelectedSlots() const { return selectedSlots; }

    // Whole-grid settings that shape rows and cells.
    bool Redraw() const;
    void SetRedraw(bool value);
    int32_t CacheIncrement() const;
    void SetCacheIncrement(int32_t value);
    bool TrackEdits() const;
    void SetTrackEdits(bool value);
    bool CheckBoxes() const;
    void SetCheckBoxes(bool value);
    bool MultiSelect() const;
    void SetMultiSelect(bool value);
    bool AutoSizeRow() const;
    void SetAutoSizeRow(bool value);
    OleColour BackColor() const;
    void SetBackColor(OleColour value);
    OleColour ForeColor() const;
    void SetForeColor(OleColour value);
    QString FontName() const;
    void SetFont(const QString &name, double size, bool bold = false);
    int32_t RowHeightMin() const;
    void SetRowHeightMin(int32_t value);
    int32_t RowHeightMax() const;
    void SetRowHeightMax(int32_t value);
    int32_t ScaleUnits() const;
    void SetScaleUnits(int32_t value);
    ImageList *GetImageList() const;
    void SetImageList(ImageList *images);

    // Settings the store only keeps for the view.
    void SetEditTrigger(int32_t value);
    void SetEditable(bool value);
    void SetHideSelection(bool value);
    void SetFocusRectColor(OleColour value);
    void SetHotHeaderTracking(bool value);
    void SetAllowUserResizing(int32_t value);
    void SetColumnSort(bool value);
    void SetColumnDrag(bool value);
    void SetThemeColor(int32_t value);
    void SetThemeStyle(int32_t value);
    void SetApplySelectionToImages(bool value);
    void SetBackColorBkg(OleColour value);
    void SetBackColorEdit(OleColour value);
    void SetBackColorFixed(OleColour value);
    void SetBackColorSel(OleColour value);
    void SetForeColorEdit(OleColour value);
    void SetForeColorFixed(OleColour value);
    void SetForeColorHdr(OleColour value);
    void SetForeColorSel(OleColour value);
    void SetForeColorTotals(OleColour value);
    void SetGridColor(OleColour value);
    void SetProgressBarColor(OleColour value);
    void SetAlphaBlendSelection(bool value);
    void SetBorderStyle(int32_t value);
    void SetDisplayEllipsis(bool value);
    void SetFocusRectMode(int32_t value);
    void SetFocusRectStyle(int32_t value);
    void SetGridLines(bool value);
    void SetGridLineWidth(int32_t value);
    void SetColumnHeaders(bool value);
    void SetFullRowSelect(bool value);
    void SetScrollTrack(bool value);
    void SetSearchColumn(int32_t value);
    void SetEnabled(bool value);
    void SetLocked(bool value);
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

    // Raw access for the view and for sorting: the item in storage order,
    // its cell in a column index (not a display position; null, and an
    // empty text, where the row has no cell), the format table.
    const ItemRecord &ItemAt(int32_t Index) const;
    const CellRecord *CellIn(int32_t Index, int32_t column) const;
    const CompactText &CellTextIn(int32_t Index, int32_t column) const;
    const std::vector<FormatRecord> &Formats() const;

    // For sorting: a column's direction (1 ascending, 0 descending), the
    // item order over the used positions, and its replacement by a
    // permutation of itself. The current row moves with its item and the
    // view repaints.
    int32_t ColSortOrder(int32_t Index) const;
    void SetColSortOrder(int32_t Index, int32_t value);
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

    enum FormatAttribute { AttrBackColor = 1, AttrForeColor = 2, AttrImage = 3, AttrFontName = 4 };

    void RequestRepaint();
    void RequestFullRefresh();
    void RequestUnconditionalRefresh();

    void CheckPosition(int32_t Index) const;
    void CheckColumnIndex(int32_t Index) const;
    void CheckColumnPosition(int32_t Col) const;
    ItemRecord &ItemAtPosition(int32_t Index);
    const ItemRecord &ItemAtPosition(int32_t Index) const;
    // The index of a cell in cells and cellTexts, checked: a position and a
    // display position.
    size_t CellIndex(int32_t Row, int32_t Col) const;
    size_t CellIndexIn(int32_t slot, int32_t column) const;
    CellRecord &CellAt(int32_t Row, int32_t Col);
    const CellRecord &CellAt(int32_t Row, int32_t Col) const;
    ColumnRecord &Column(int32_t Index);
    const ColumnRecord &Column(int32_t Index) const;

    bool CellFlag(int32_t Row, int32_t Col, uint16_t flag) const;
    void SetCellFlag(int32_t Row, int32_t Col, uint16_t flag, bool value, bool repaint);
    void SetItemFlag(int32_t Index, uint16_t flag, bool value);
    // Sets or clears the selected bit of the item in slot; true when it changed.
    bool MarkSelected(int32_t slot, bool value);
    void RebuildSelectedSlots();

    FormatRecord CellFormat(const CellRecord &cell) const;
    int16_t InternFormat(const FormatRecord &wanted);
    void AssignFormat(CellRecord &cell, int16_t slot);
    void SetCellFormat(CellRecord &cell, FormatAttribute attribute, const QVariant &value);
    void ReleaseFormats(int32_t slot);

    int32_t ImageValue(const QVariant &value, bool &resolved) const;
    QVariant ImageVariant(int32_t stored) const;
    int16_t DefaultFormat();
    void ResetSlot(int32_t slot, int16_t format, int32_t height);
    void InitialiseItem(int32_t slot, const QString &text, bool checked);
    void ReserveSlots(size_t slots);
    void ResizeSlots(size_t count);
    void WidenCells(size_t columnCount);
    void ResetColumns(int32_t highestIndex);
    void SetCurrentCell(int32_t row, int32_t col);

    std::vector<ItemRecord> items;     // storage slots; may exceed the item count
    std::vector<int32_t> itemOrder;    // position -> storage slot
    // The cells of slot s are at s * cellStride + column index, their texts
    // at the same index of cellTexts.
    std::vector<CellRecord> cells;
    std::vector<CompactText> cellTexts;
    size_t cellStride = 1;
    int32_t LastIndex = -1;
    std::vector<ColumnRecord> columns; // column index -> record
    std::vector<int32_t> columnOrder;  // display position -> column index
    std::vector<FormatRecord> formats;
    std::set<int32_t> selectedSlots;
    int32_t currentRow = -1;
    int32_t currentCol = -1;
    bool RedrawPending = false;
    bool LayoutPending = false;
    ListGridProperties props;
    ImageList *images = nullptr;
    float controlWidth = 0;
    double twipsPerPixel = 15.0;
};
