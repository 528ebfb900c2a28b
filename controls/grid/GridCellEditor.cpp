#include "controls/grid/GridCellEditor.h"

#include "controls/ControlColours.h"
#include "controls/grid/GridGeometry.h"
#include "controls/grid/GridInputCodes.h"
#include "controls/grid/GridPainter.h"
#include "controls/grid/GridStore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>
#include <limits>

namespace {

// The box's forced case: every character that enters it, typed or pasted,
// is turned to capitals or small letters.
class CaseValidator : public QValidator {
public:
    CaseValidator(bool toUpper, QObject *parent) : QValidator(parent), upper(toUpper) {}
    State validate(QString &input, int &) const override
    {
        input = upper ? input.toUpper() : input.toLower();
        return Acceptable;
    }

private:
    bool upper;
};

Qt::Alignment BoxAlignment(int32_t alignment)
{
    switch (alignment) {
    case 1:
    case 5:
    case 9:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case 0:
    case 4:
    case 8:
        return Qt::AlignLeft | Qt::AlignVCenter;
    default:
        return Qt::AlignRight | Qt::AlignVCenter;
    }
}

constexpr int16_t MoveLeft = 4;
constexpr int16_t MoveTop = 8;
constexpr int16_t MoveWidth = 2;
constexpr int16_t MoveHeight = 1;

} // namespace

GridCellEditor::GridCellEditor(const GridView &view, GridEditHost &editHost)
    : QObject(&view.Widget),
      grid(view.Widget),
      store(view.Store),
      geometry(view.Geometry),
      host(editHost),
      box(new QLineEdit(&view.Widget))
{
    box->setObjectName(QStringLiteral("txtEdit"));
    box->setFrame(false);
    // A cell's text is edited whole, however long (not cut at the box's
    // default limit).
    box->setMaxLength(std::numeric_limits<int>::max());
    box->hide();
    box->installEventFilter(this);
}

bool GridCellEditor::CanEdit() const
{
    const ListGridProperties &props = store.Properties();
    return props.Editable && !props.Locked && store.ItemCount() > 0;
}

QWidget *GridCellEditor::BoundControl() const
{
    return host.ColumnViewAt(store.ColPosition(editCol)).BoundControl;
}

void GridCellEditor::EditCell(int32_t Row, int32_t Col)
{
    if (open && !Commit())
        return;
    if (!CanEdit() || store.ColumnAt(store.ColPosition(Col)).ColType == ColTypeCheckBox)
        return;
    store.CellText(Row, Col); // the cell must exist before the host is asked
    if (!host.RaiseRequestEdit(Row, Col))
        return;
    editRow = Row;
    editCol = Col;
    if (QWidget *control = BoundControl())
        ShowBoundControl(control);
    else
        PrepareBox();
    open = true;
}

void GridCellEditor::PrepareBox()
{
    const QString filter = store.ColumnAt(store.ColPosition(editCol)).InputFilter;
    delete box->validator();
    if (filter == QLatin1String(">") || filter == QLatin1String("<"))
        box->setValidator(new CaseValidator(filter == QLatin1String(">"), box));
    box->setAlignment(BoxAlignment(store.CellAttribute(editRow, editCol, CellAttr::Alignment).toInt()));

    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, ToQColor(store.Properties().BackColorEdit, grid.palette()));
    box->setPalette(palette);
    QFont font = GridPainter::Font(store.Properties());
    font.setBold(font.bold() || store.CellAttribute(editRow, editCol, CellAttr::FontBold).toBool());
    font.setItalic(store.CellAttribute(editRow, editCol, CellAttr::FontItalic).toBool());
    font.setUnderline(store.CellAttribute(editRow, editCol, CellAttr::FontUnderline).toBool());
    box->setFont(font);

    box->setText(store.CellText(editRow, editCol));
    box->selectAll();
    box->setGeometry(CellRect());
    box->show();
    box->raise();
    box->setFocus(Qt::OtherFocusReason);
}

void GridCellEditor::ShowBoundControl(QWidget *control)
{
    shownControl = control;
    Place(host.ColumnViewAt(store.ColPosition(editCol)).MoveControl);
    control->setEnabled(true);
    control->show();
    control->raise();
    control->installEventFilter(this);
    if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->showPopup();
    control->setFocus(Qt::OtherFocusReason);
}

// The cell in the grid's own coordinates.
QRect GridCellEditor::CellRect() const
{
    const ColumnSpan span = geometry.ColumnGeometry(editCol);
    const int32_t top = geometry.RowTop(editRow);
    const int32_t height = static_cast<int32_t>(store.ItemAt(editRow).Height);
    return QRect(span.Left, top, span.Right - span.Left, height).translated(host.ClientRect().topLeft());
}

void GridCellEditor::Place()
{
    if (open && !shownControl)
        box->setGeometry(CellRect());
    else if (open)
        Place(host.ColumnViewAt(store.ColPosition(editCol)).MoveControl);
}

void GridCellEditor::Place(int16_t moves)
{
    QWidget *control = shownControl;
    if (!control) {
        Place();
        return;
    }
    QRect cell = CellRect();
    if (QWidget *parent = control->parentWidget())
        cell.moveTopLeft(parent->mapFromGlobal(grid.mapToGlobal(cell.topLeft())));
    QRect placed = control->geometry();
    if (moves & MoveLeft)
        placed.moveLeft(cell.left());
    if (moves & MoveTop)
        placed.moveTop(cell.top());
    if (moves & MoveWidth)
        placed.setWidth(cell.width());
    if (moves & MoveHeight)
        placed.setHeight(cell.height());
    control->setGeometry(placed);
}

bool GridCellEditor::Commit()
{
    if (!open)
        return true;
    if (editRow >= store.ItemCount() || editCol > store.Cols()) {
        // The rows were cleared under the open edit: nothing is left to store.
        Hide();
        return true;
    }
    QVariant newValue;
    bool changed = true;
    if (!shownControl) {
        newValue = box->text();
        changed = box->text() != store.CellText(editRow, editCol);
    } else {
        // The host supplies a bound control's value.
        newValue = QString();
    }
    const bool accepted = !changed || host.RaiseRequestUpdate(editRow, editCol, newValue);
    if (accepted) {
        Hide();
        if (changed) {
            store.SetCellText(editRow, editCol, newValue.toString());
            store.SetCellChanged(editRow, editCol, true);
            host.RecomputeScrollBars();
        }
        grid.update();
    }
    host.RaiseCellUpdated(editRow, editCol);
    return accepted;
}

void GridCellEditor::Cancel()
{
    if (open)
        Hide();
}

void GridCellEditor::Hide()
{
    const bool hadFocus = box->hasFocus() || (shownControl && shownControl->hasFocus());
    open = false;
    if (QWidget *control = shownControl) {
        control->removeEventFilter(this);
        control->hide();
        shownControl = nullptr;
    }
    box->hide();
    if (hadFocus)
        grid.setFocus(Qt::OtherFocusReason);
}

bool GridCellEditor::OpenOrCommit()
{
    if (!CanEdit())
        return false;
    if (open)
        Commit();
    else if (store.Row() >= 0 && store.Col() >= 0)
        EditCell(store.Row(), store.Col());
    return true;
}

bool GridCellEditor::MouseOverGrid() const
{
    return grid.rect().contains(grid.mapFromGlobal(QCursor::pos()));
}

bool GridCellEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && open) {
        // Focus going to a popup (a combo box's list) or to a click on the
        // grid does not end the edit: the grid's own press does.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && (reason != Qt::MouseFocusReason || !MouseOverGrid()))
            Commit();
    } else if (watched == box && event->type() == QEvent::KeyPress && !forwarding) {
        return BoxKey(static_cast<QKeyEvent *>(event));
    }
    return QObject::eventFilter(watched, event);
}

// A key typed into the box. Enter, Escape and F2 (as EditTrigger allows
// them) and the keys that move between rows go to the grid, which commits
// first; a character passes the column's input filter and the host.
bool GridCellEditor::BoxKey(QKeyEvent *event)
{
    using namespace HostCodes;
    const int32_t code = KeyCode(event->key());
    const int32_t shift = Shift(event->modifiers());
    const int32_t trigger = store.Properties().EditTrigger;
    const bool toGrid = ((code == CodeReturn || code == CodeEscape) && (trigger & 2) != 0) ||
        (code == CodeF2 && (trigger & 4) != 0) || code == CodeUp || code == CodeDown || code == CodePageUp ||
        code == CodePageDown || ((code == CodeHome || code == CodeEnd) && (shift & CtrlMask) != 0);
    if (toGrid) {
        QCoreApplication::sendEvent(&grid, event);
        return true;
    }

    const QString text = event->text();
    const bool backspace = event->key() == Qt::Key_Backspace;
    if (!backspace && (text.size() != 1 || text.at(0) < QChar(' ')))
        return false;
    const int32_t typed = backspace ? CodeBack : text.at(0).unicode();
    const QString filter = store.ColumnAt(store.ColPosition(editCol)).InputFilter;
    int32_t ascii = typed;
    const bool filtered = !filter.isEmpty() && filter != QLatin1String("<") && filter != QLatin1String(">");
    if (filtered && typed != CodeBack && typed != '.' && !filter.contains(QChar(typed), Qt::CaseInsensitive))
        ascii = 0;
    ascii = host.RaiseEditKeyPress(editCol, ascii);
    if (ascii == typed)
        return false;
    if (ascii > 0 && ascii <= 0xFFFF) {
        // The host changed the character: the box gets the new one instead.
        const bool back = ascii == CodeBack;
        QKeyEvent replaced(QEvent::KeyPress, back ? Qt::Key_Backspace : 0, Qt::NoModifier,
            back ? QString() : QString(QChar(static_cast<char16_t>(ascii))));
        forwarding = true;
        QCoreApplication::sendEvent(box, &replaced);
        forwarding = false;
    }
    return true;
}
