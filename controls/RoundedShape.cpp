#include "controls/RoundedShape.h"

#include <algorithm>
#include <cmath>

namespace {

// How far the row `fromEdge` rows inside the top (or bottom) edge starts
// inside the left (or right) edge, for corner radii a and b.
int RowInset(int fromEdge, double a, double b)
{
    const double centreY = fromEdge + 0.5;
    if (a <= 0 || b <= 0 || centreY >= b)
        return 0;
    const double dy = (b - centreY) / b;
    const double dx = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    return static_cast<int>(std::ceil(a - dx - 0.5));
}

} // namespace

RoundedShape::RoundedShape(const QRect &footprint, int ellipseWidth, int ellipseHeight)
{
    const int w = footprint.width();
    const int h = footprint.height();
    if (w <= 0 || h <= 0)
        return;
    const double a = std::clamp(ellipseWidth, 0, w) / 2.0;
    const double b = std::clamp(ellipseHeight, 0, h) / 2.0;
    rows.reserve(h);
    for (int y = 0; y < h; ++y) {
        const int inset = std::min(RowInset(std::min(y, h - 1 - y), a, b), (w - 1) / 2);
        rows.append(QRect(footprint.left() + inset, footprint.top() + y, w - 2 * inset, 1));
    }
}

// Each step keeps the pixels whose four neighbours are all in the shape; as
// every row is one span, what is left of a row is one span too.
QVector<QRect> RoundedShape::Eroded(int thickness) const
{
    QVector<QRect> current = rows;
    const int count = static_cast<int>(current.size());
    for (int step = 0; step < thickness; ++step) {
        QVector<QRect> next = current;
        for (int i = 0; i < count; ++i) {
            QRect &row = next[i];
            if (i == 0 || i == count - 1 || current[i - 1].isEmpty() || current[i + 1].isEmpty()) {
                row.setWidth(0);
                continue;
            }
            const int left = std::max({current[i].left() + 1, current[i - 1].left(), current[i + 1].left()});
            const int right = std::min({current[i].right() - 1, current[i - 1].right(), current[i + 1].right()});
            row = QRect(QPoint(left, row.top()), QPoint(std::max(right, left - 1), row.top()));
        }
        current = next;
    }
    return current;
}

QVector<QRect> RoundedShape::Interior(int thickness) const
{
    QVector<QRect> interior;
    for (const QRect &row : Eroded(thickness)) {
        if (!row.isEmpty())
            interior.append(row);
    }
    return interior;
}

QVector<QRect> RoundedShape::Outline(int thickness) const
{
    const QVector<QRect> inner = Eroded(thickness);
    QVector<QRect> outline;
    for (int i = 0; i < rows.size(); ++i) {
        const QRect &row = rows[i];
        if (inner[i].isEmpty()) {
            outline.append(row);
            continue;
        }
        if (inner[i].left() > row.left())
            outline.append(QRect(QPoint(row.left(), row.top()), QPoint(inner[i].left() - 1, row.top())));
        if (inner[i].right() < row.right())
            outline.append(QRect(QPoint(inner[i].right() + 1, row.top()), QPoint(row.right(), row.top())));
    }
    return outline;
}
