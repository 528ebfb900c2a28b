#pragma once

#include "controls/grid/GridStore.h"

#include <QStringList>
#include <initializer_list>
#include <vector>

// A grid with one column of each given type and one row per tab-separated text.
inline void Fill(GridStore &grid, std::initializer_list<int> types, const QStringList &rows)
{
    for (const int type : types)
        grid.AddColumn(QString(), 1000, 4, type);
    for (const QString &row : rows)
        grid.AddItem(row);
}

// The texts of one column, top to bottom.
inline QStringList Column(const GridStore &grid, int col = 0)
{
    QStringList texts;
    for (int r = 0; r < grid.ItemCount(); ++r)
        texts << grid.CellText(r, col);
    return texts;
}

// The rows whose flag says they are selected.
inline std::vector<int32_t> SelectedRows(const GridStore &grid)
{
    std::vector<int32_t> rows;
    for (int32_t r = 0; r < grid.ItemCount(); ++r) {
        if (grid.ItemAttribute(r, ItemAttr::Selected).toBool())
            rows.push_back(r);
    }
    return rows;
}

// The column shown at each display position, up to the last slot.
inline std::vector<int> ColumnOrder(const GridStore &grid)
{
    std::vector<int> order;
    for (int p = 0; p <= grid.Cols(); ++p)
        order.push_back(grid.ColPosition(p));
    return order;
}
