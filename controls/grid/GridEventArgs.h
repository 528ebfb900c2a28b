#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

// The arguments of the grid's events whose host may answer. The grid fills
// one of these, raises the event with a pointer to it and reads the answer
// back when the event returns, so a handler must be connected directly (a
// queued handler would run after the grid has read the answer). Each is
// named after its event; the fields are the event's parameters.

// RequestEdit: the host sets Cancel to refuse the edit or the toggle.
struct RequestEditArgs {
    int32_t Row = -1;
    int32_t Col = -1;
    bool Cancel = false;
};

// RequestUpdate: the host may change NewValue, or set Cancel to keep the
// editor open and the cell unchanged.
struct RequestUpdateArgs {
    int32_t Row = -1;
    int32_t Col = -1;
    QVariant NewValue;
    bool Cancel = false;
};

// KeyPress: a character typed on the grid; the host may change it.
struct KeyPressArgs {
    int32_t KeyAscii = 0;
};

// EditKeyPress: a character typed into the editor of column Col (0 when the
// column's input filter discarded it); the host may change it.
struct EditKeyPressArgs {
    int32_t Col = -1;
    int32_t KeyAscii = 0;
};

// ColumnSizeChanged: the resized column's display position and its
// MoveControl bits; the host may clear bits to keep a bound control where
// it is when the editor is placed again.
struct ColumnSizeChangedArgs {
    int32_t Col = -1;
    int16_t MoveControl = 0;
};

// CustomSort: one comparison of a custom column; the host sets Swap when
// the row holding Value1 goes before the row holding Value2.
struct CustomSortArgs {
    bool Ascending = false;
    int32_t Col = -1;
    QString Value1;
    QString Value2;
    bool Swap = false;
};

// ItemChecked: the user toggled the check box of row Row.
struct ItemCheckedArgs {
    int32_t Row = -1;
};
