#pragma once

#include "GridRows.h"
#include "controls/grid/ListGrid.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringList>

// A shown grid of four 100-pixel columns and rows "row 0".."row N-1", with
// helpers that send it real mouse and key events at cells and header
// borders, and a log of the events it raises.
class InputGrid {
public:
    explicit InputGrid(int rows = 30, QSize size = QSize(330, 200));

    ListGrid grid;
    GridStore &store;
    QStringList events;

    // Points in the grid's own coordinates.
    QPoint Cell(int32_t row, int32_t col, int dx = 50) const;
    QPoint Header(int32_t col, int dx = 50) const;
    QPoint ClientPoint(int x, int y) const;

    void Press(QPoint at, Qt::KeyboardModifiers mods = {}, Qt::MouseButton button = Qt::LeftButton);
    void Move(QPoint at, Qt::MouseButtons buttons = Qt::LeftButton, Qt::KeyboardModifiers mods = {});
    void Release(QPoint at, Qt::KeyboardModifiers mods = {}, Qt::MouseButton button = Qt::LeftButton);
    void Click(QPoint at, Qt::KeyboardModifiers mods = {}, Qt::MouseButton button = Qt::LeftButton);
    void DoubleClick(QPoint at);
    void Wheel(int delta, Qt::KeyboardModifiers mods = {});
    void Key(int key, Qt::KeyboardModifiers mods = {}, const QString &text = QString(), QWidget *to = nullptr);
    void Type(const QString &text, QWidget *to);

private:
    void Send(
        QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);
};
