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

QVector<QRect> RoundedShape::Outline() const
{
    QVector<QRect> outline;
    const int count = static_cast<int>(rows.size());
    for (int i = 0; i < count; ++i) {
        const QRect &row = rows[i];
        if (i == 0 || i == count - 1) {
            outline.append(row);
            continue;
        }
        // The pixels of this row not covered by both neighbouring rows.
        const int innerLeft = std::max(rows[i - 1].left(), rows[i + 1].left());
        const int innerRight = std::min(rows[i - 1].right(), rows[i + 1].right());
        const int leftEnd = std::max(row.left(), innerLeft - 1);
        const int rightStart = std::min(row.right(), innerRight + 1);
        if (leftEnd + 1 >= rightStart) {
            outline.append(row);
            continue;
        }
        outline.append(QRect(QPoint(row.left(), row.top()), QPoint(leftEnd, row.top())));
        outline.append(QRect(QPoint(rightStart, row.top()), QPoint(row.right(), row.top())));
    }
    return outline;
}
