#include "controls/grid/GridSort.h"

#include "controls/grid/GridStore.h"
#include "util/Errors.h"
#include "util/Numbers.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace {

uint16_t FlagsOf(const GridStore &store, int32_t position, int32_t column)
{
    const CellRecord *cell = store.CellIn(position, column);
    return cell ? cell->Flags : 0;
}

const CompactText &TextOf(const GridStore &store, int32_t position, int32_t column)
{
    return store.CellTextIn(position, column);
}

int32_t Toggled(int32_t order)
{
    return order == 0 ? 1 : 0;
}

// The middle of first..last, halves to the even neighbour.
int32_t Middle(int32_t first, int32_t last)
{
    const int64_t sum = int64_t(first) + last;
    const int64_t low = sum / 2;
    return static_cast<int32_t>(sum % 2 == 0 || low % 2 == 0 ? low : low + 1);
}

// One partition step of the grid's quicksort over rows first..last (which
// hold at least two); returns where the pivot lands.
template <class Before>
int32_t Partition(std::vector<int32_t> &rows, int32_t first, int32_t last, Before before)
{
    std::swap(rows[size_t(first)], rows[size_t(Middle(first, last))]);
    int32_t p = first;
    for (int32_t i = first + 1; i <= last; ++i) {
        if (before(rows[size_t(i)], rows[size_t(first)]))
            std::swap(rows[size_t(i)], rows[size_t(++p)]);
    }
    std::swap(rows[size_t(first)], rows[size_t(p)]);
    return p;
}

struct Range {
    int32_t first;
    int32_t last;
};

// The quicksort as written, each comparison asked of `before` in the order
// the recursive form asks it (the host sees the comparisons of a custom
// column).
template <class Before>
void QuickSort(std::vector<int32_t> &rows, int32_t first, int32_t last, Before before)
{
    std::vector<Range> pending{{first, last}};
    while (!pending.empty()) {
        const Range r = pending.back();
        pending.pop_back();
        if (r.last <= r.first)
            continue;
        const int32_t p = Partition(rows, r.first, r.last, before);
        pending.push_back({p + 1, r.last});
        pending.push_back({r.first, p - 1});
    }
}

// A column's values as integers: row a goes before pivot b when key[a] <
// key[b], or when both equal `loose` (the date column's non-dates, which
// all go before a non-date pivot when ascending).
struct SortKeys {
    std::vector<int32_t> key;
    int32_t loose = std::numeric_limits<int32_t>::min();

    bool Before(int32_t a, int32_t b) const
    {
        const int32_t ka = key[size_t(a)];
        const int32_t kb = key[size_t(b)];
        return ka < kb || (ka == kb && kb == loose);
    }
};

struct Lowest {
    int32_t key;
    int32_t count;
};

Lowest LowestKey(const std::vector<int32_t> &rows, const SortKeys &keys, int32_t first, int32_t last)
{
    Lowest low{std::numeric_limits<int32_t>::max(), 0};
    for (int32_t i = first; i <= last; ++i) {
        const int32_t k = keys.key[size_t(rows[size_t(i)])];
        if (k < low.key)
            low = {k, 1};
        else if (k == low.key)
            ++low.count;
    }
    return low;
}

// The same quicksort on integer keys, with the same result. Two kinds of
// step move rows without comparing them: a pivot holding the range's lowest
// key (nothing goes before it) and a range of non-dates only (everything
// does). Without them a column of many equal values sorts in quadratic time.
void KeyedQuickSort(std::vector<int32_t> &rows, const SortKeys &keys, int32_t first, int32_t last)
{
    std::vector<Range> pending{{first, last}};
    while (!pending.empty()) {
        Range r = pending.back();
        pending.pop_back();
        if (r.last <= r.first)
            continue;
        Lowest low = LowestKey(rows, keys, r.first, r.last);
        while (r.last > r.first) {
            const int32_t mid = Middle(r.first, r.last);
            const int32_t pivotKey = keys.key[size_t(rows[size_t(mid)])];
            if (pivotKey == low.key && pivotKey != keys.loose) {
                std::swap(rows[size_t(r.first)], rows[size_t(mid)]);
                ++r.first;
                if (--low.count == 0 && r.last > r.first)
                    low = LowestKey(rows, keys, r.first, r.last);
            } else if (low.key == keys.loose && low.count == r.last - r.first + 1) {
                std::swap(rows[size_t(r.first)], rows[size_t(mid)]);
                std::swap(rows[size_t(r.first)], rows[size_t(r.last)]);
                --r.last;
                --low.count;
            } else {
                const int32_t p =
                    Partition(rows, r.first, r.last, [&keys](int32_t a, int32_t b) { return keys.Before(a, b); });
                pending.push_back({p + 1, r.last});
                pending.push_back({r.first, p - 1});
                break;
            }
        }
    }
}

// Dense ranks of values (equal values share a rank, the smallest is 0).
template <class Value, class Less>
std::vector<int32_t> Ranks(const std::vector<Value> &values, Less less)
{
    std::vector<int32_t> byValue(values.size());
    for (size_t i = 0; i < byValue.size(); ++i)
        byValue[i] = static_cast<int32_t>(i);
    std::sort(byValue.begin(), byValue.end(),
        [&](int32_t a, int32_t b) { return less(values[size_t(a)], values[size_t(b)]); });
    std::vector<int32_t> rank(values.size());
    int32_t next = -1;
    for (size_t i = 0; i < byValue.size(); ++i) {
        if (i == 0 || less(values[size_t(byValue[i - 1])], values[size_t(byValue[i])]))
            ++next;
        rank[size_t(byValue[i])] = next;
    }
    return rank;
}

// A date's moment in milliseconds, or nothing when the text is not a date.
// Accepted: ISO 8601 and the usual day-month-year and month/day/year forms,
// each with an optional time.
std::pair<bool, int64_t> DateValue(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {false, 0};
    QDateTime moment = QDateTime::fromString(trimmed, Qt::ISODate);
    static const char *const forms[] = {"d.M.yyyy", "M/d/yyyy", "d-M-yyyy", "d.M.yy", "M/d/yy"};
    static const char *const times[] = {"", " H:mm", " H:mm:ss"};
    for (const char *form : forms) {
        for (const char *time : times) {
            if (!moment.isValid())
                moment = QDateTime::fromString(trimmed, QString::fromLatin1(form) + QString::fromLatin1(time));
        }
    }
    if (!moment.isValid())
        return {false, 0};
    // Only the order matters: read every moment on the same clock.
    const qint64 day = moment.date().toJulianDay();
    return {true, day * 86400000 + moment.time().msecsSinceStartOfDay()};
}

// The ranks of a column's values; nonDates tells whether a date column
// holds texts that are not dates (they share rank 0).
std::vector<int32_t> ColumnRanks(const GridStore &store, int32_t column, int32_t type, int32_t rows, bool &nonDates)
{
    nonDates = false;
    switch (type) {
    case ColTypeNumber: {
        std::vector<double> values;
        for (int32_t r = 0; r < rows; ++r) {
            const double v = LeadingNumber(TextOf(store, r, column));
            values.push_back(std::isnan(v) ? 0 : v);
        }
        return Ranks(values, std::less<double>());
    }
    case ColTypeDate: {
        std::vector<std::pair<bool, int64_t>> values;
        for (int32_t r = 0; r < rows; ++r) {
            values.push_back(DateValue(TextOf(store, r, column)));
            nonDates = nonDates || !values.back().first;
        }
        return Ranks(values, std::less<std::pair<bool, int64_t>>());
    }
    case ColTypeCheckBox: {
        std::vector<int32_t> values;
        for (int32_t r = 0; r < rows; ++r)
            values.push_back((FlagsOf(store, r, column) & CellFlagChecked) ? 1 : 0);
        return values;
    }
    default: {
        std::vector<const CompactText *> values;
        for (int32_t r = 0; r < rows; ++r)
            values.push_back(&TextOf(store, r, column));
        return Ranks(values, [](const CompactText *a, const CompactText *b) { return *a < *b; });
    }
    }
}

// Sorts rows[first..last] (row numbers are the positions before the sort)
// by column with its direction.
void SortRange(
    GridStore &store, std::vector<int32_t> &rows, int32_t first, int32_t last, int32_t column, const SortKeys *keys)
{
    if (keys) {
        KeyedQuickSort(rows, *keys, first, last);
        return;
    }
    const bool ascending = store.ColumnAt(column).SortOrder == 0; // the event's own sense of the flag
    QuickSort(rows, first, last, [&store, column, ascending](int32_t a, int32_t b) {
        CustomSortArgs args;
        args.Ascending = ascending;
        args.Col = column;
        args.Value1 = TextOf(store, a, column);
        args.Value2 = TextOf(store, b, column);
        Q_EMIT store.CustomSort(&args);
        return args.Swap;
    });
}

// The column's keys in its direction, or none for a custom column (the host
// compares).
bool BuildKeys(const GridStore &store, int32_t column, int32_t rows, SortKeys &keys)
{
    const int32_t type = store.ColumnAt(column).ColType;
    if (type == ColTypeCustom)
        return false;
    bool nonDates = false;
    keys.key = ColumnRanks(store, column, type, rows, nonDates);
    if (store.ColumnAt(column).SortOrder == 0) {
        for (int32_t &k : keys.key)
            k = -k;
    } else if (nonDates) {
        keys.loose = 0; // the non-dates' rank
    }
    return true;
}

} // namespace

GridSort::GridSort(GridStore &gridStore, QObject *parent) : QObject(parent), store(gridStore)
{
    connect(&store, &GridStore::Cleared, this, [this] {
        sortCol = -1;
        subSortCol = -1;
    });
}

int32_t GridSort::SortCol() const
{
    return sortCol;
}

int32_t GridSort::SubSortCol() const
{
    return subSortCol;
}

void GridSort::Sort(int32_t Sort, int32_t SortType, int32_t SubSort, int32_t SubSortType)
{
    int32_t primary = Sort != -1 ? Sort : sortCol;
    int32_t secondary = SubSort != -1 ? SubSort : subSortCol;
    if (primary == -1 && secondary != -1)
        std::swap(primary, secondary);
    else if (primary == secondary)
        secondary = -1;
    const int32_t primaryOrder = store.ColumnAt(primary).SortOrder; // checks the index
    const int32_t secondaryOrder = secondary != -1 ? store.ColumnAt(secondary).SortOrder : 0;

    sortCol = primary;
    subSortCol = secondary;
    store.SetColAttribute(primary, ColAttr::SortOrder, SortType == -1 ? Toggled(primaryOrder) : SortType);
    if (secondary != -1)
        store.SetColAttribute(secondary, ColAttr::SortOrder, SubSortType == -1 ? Toggled(secondaryOrder) : SubSortType);
    SortRows();
}

void GridSort::SortRows()
{
    const std::vector<int32_t> slots = store.ItemOrder();
    const int32_t count = static_cast<int32_t>(slots.size());
    std::vector<int32_t> rows(slots.size());
    for (int32_t r = 0; r < count; ++r)
        rows[size_t(r)] = r;

    SortKeys keys;
    SortRange(store, rows, 0, count - 1, sortCol, BuildKeys(store, sortCol, count, keys) ? &keys : nullptr);

    if (subSortCol != -1) {
        SortKeys subKeys;
        const SortKeys *sub = BuildKeys(store, subSortCol, count, subKeys) ? &subKeys : nullptr;
        int32_t runStart = 0;
        for (int32_t p = 1; p <= count; ++p) {
            if (p < count && TextOf(store, rows[size_t(p)], sortCol) == TextOf(store, rows[size_t(runStart)], sortCol))
                continue;
            if (p - 1 > runStart)
                SortRange(store, rows, runStart, p - 1, subSortCol, sub);
            runStart = p;
        }
    }

    std::vector<int32_t> order(slots.size());
    for (size_t p = 0; p < order.size(); ++p)
        order[p] = slots[size_t(rows[p])];
    store.ReorderItems(order);
    Q_EMIT store.SortComplete();
}

void GridSort::HeaderClick(int32_t Col, bool ctrl)
{
    const int32_t column = store.ColPosition(Col);
    if (ctrl && sortCol >= 0) {
        if (column != subSortCol)
            store.SetColAttribute(column, ColAttr::SortOrder, 0);
        subSortCol = column;
        Sort(sortCol, store.ColumnAt(sortCol).SortOrder, column, -1);
        return;
    }
    if (column != sortCol) {
        store.SetColAttribute(column, ColAttr::SortOrder, 0);
        subSortCol = -1;
    }
    sortCol = column;
    Sort(column, -1, subSortCol, subSortCol != -1 ? store.ColumnAt(subSortCol).SortOrder : -1);
}
