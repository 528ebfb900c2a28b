#include "GridInputSupport.h"

#include "controls/grid/GridEventArgs.h"

#include <QWheelEvent>

InputGrid::InputGrid(int rows, QSize size) : store(grid.Store())
{
    for (int c = 0; c < 4; ++c)
        store.AddColumn(QStringLiteral("Col %1").arg(c), 1500);
    store.SetRedraw(false);
    for (int r = 0; r < rows; ++r)
        store.AddItem(QStringLiteral("row %1\tb%1\tc%1\td%1").arg(r));
    store.SetRedraw(true);
    grid.resize(size);
    grid.show();
    grid.RefreshView();

    auto log = [this](const QString &line) { events << line; };
    const std::pair<void (ListGrid::*)(), const char *> plain[] = {{&ListGrid::Click, "Click"},
        {&ListGrid::RowColChanged, "RowColChanged"}, {&ListGrid::Scroll, "Scroll"},
        {&ListGrid::SelectionChanged, "SelectionChanged"}, {&ListGrid::MouseEnter, "MouseEnter"},
        {&ListGrid::SortComplete, "SortComplete"}, {&ListGrid::MouseLeave, "MouseLeave"},
        {&ListGrid::ThemeChanged, "ThemeChanged"}};
    for (const auto &[signal, name] : plain)
        QObject::connect(&grid, signal, [log, name = name] { log(name); });
    QObject::connect(&grid, &ListGrid::MouseDown,
        [log](int32_t b, int32_t s, float, float) { log(QStringLiteral("MouseDown %1 %2").arg(b).arg(s)); });
    QObject::connect(&grid, &ListGrid::MouseUp,
        [log](int32_t b, int32_t s, float, float) { log(QStringLiteral("MouseUp %1 %2").arg(b).arg(s)); });
    QObject::connect(
        &grid, &ListGrid::KeyDown, [log](int32_t k, int32_t s) { log(QStringLiteral("KeyDown %1 %2").arg(k).arg(s)); });
    QObject::connect(
        &grid, &ListGrid::KeyPress, [log](KeyPressArgs *a) { log(QStringLiteral("KeyPress %1").arg(a->KeyAscii)); });
    QObject::connect(&grid, &ListGrid::ColumnClick, [log](int32_t c) { log(QStringLiteral("ColumnClick %1").arg(c)); });
    QObject::connect(&grid, &ListGrid::ColumnSizeChanged, [log](ColumnSizeChangedArgs *a) {
        log(QStringLiteral("ColumnSizeChanged %1 %2").arg(a->Col).arg(a->MoveControl));
    });
    QObject::connect(&grid, &ListGrid::ItemCheckedEvent,
        [log](ItemCheckedArgs *a) { log(QStringLiteral("ItemChecked %1").arg(a->Row)); });
    QObject::connect(&grid, &ListGrid::RequestEdit,
        [log](RequestEditArgs *a) { log(QStringLiteral("RequestEdit %1 %2").arg(a->Row).arg(a->Col)); });
    QObject::connect(&grid, &ListGrid::RequestUpdate, [log](RequestUpdateArgs *a) {
        log(QStringLiteral("RequestUpdate %1 %2 %3").arg(a->Row).arg(a->Col).arg(a->NewValue.toString()));
    });
    QObject::connect(&grid, &ListGrid::CellUpdated,
        [log](int32_t r, int32_t c) { log(QStringLiteral("CellUpdated %1 %2").arg(r).arg(c)); });
    QObject::connect(&grid, &ListGrid::EditKeyPress,
        [log](EditKeyPressArgs *a) { log(QStringLiteral("EditKeyPress %1 %2").arg(a->Col).arg(a->KeyAscii)); });
}

QPoint InputGrid::ClientPoint(int x, int y) const
{
    return QPoint(x, y) + grid.ClientRect().topLeft();
}

QPoint InputGrid::Cell(int32_t row, int32_t col, int dx) const
{
    return ClientPoint(grid.Geometry().ColumnExtent(col).Left + dx, grid.RowTop(row) + 8);
}

QPoint InputGrid::Header(int32_t col, int dx) const
{
    return ClientPoint(grid.Geometry().ColumnExtent(col).Left + dx, 5);
}

void InputGrid::Send(
    QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    QMouseEvent event(type, at, grid.mapToGlobal(at), button, buttons, mods);
    QCoreApplication::sendEvent(&grid, &event);
}

void InputGrid::Press(QPoint at, Qt::KeyboardModifiers mods, Qt::MouseButton button)
{
    Send(QEvent::MouseButtonPress, at, button, button, mods);
}

void InputGrid::Move(QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    Send(QEvent::MouseMove, at, Qt::NoButton, buttons, mods);
}

void InputGrid::Release(QPoint at, Qt::KeyboardModifiers mods, Qt::MouseButton button)
{
    Send(QEvent::MouseButtonRelease, at, button, Qt::NoButton, mods);
}

void InputGrid::Click(QPoint at, Qt::KeyboardModifiers mods, Qt::MouseButton button)
{
    Press(at, mods, button);
    Release(at, mods, button);
}

void InputGrid::DoubleClick(QPoint at)
{
    Click(at);
    Send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, {});
    Release(at);
}

// One event of `delta` eighths of a degree, over the cells.
void InputGrid::Wheel(int delta, Qt::KeyboardModifiers mods)
{
    const QPointF at(50, 50);
    QWheelEvent event(
        at, grid.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&grid, &event);
}

void InputGrid::Key(int key, Qt::KeyboardModifiers mods, const QString &text, QWidget *to)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(to ? to : &grid, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(to ? to : &grid, &release);
}

void InputGrid::Type(const QString &text, QWidget *to)
{
    for (QChar c : text)
        Key(c.toUpper().unicode(), {}, QString(c), to);
}
