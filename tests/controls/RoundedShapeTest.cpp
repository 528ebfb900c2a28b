#include "controls/RoundedShape.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

using Pixel = QPair<int, int>;

QSet<Pixel> PixelsOf(const QVector<QRect> &runs)
{
    QSet<Pixel> pixels;
    for (const QRect &r : runs) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x)
                pixels.insert({x, y});
        }
    }
    return pixels;
}

} // namespace

// An outline t deep is what t steps of peeling off the pixels with a
// neighbour outside remove; the interior is what they leave.
TEST(RoundedShape, OutlineIsWhatPeelingThePixelsWithANeighbourOutsideRemoves)
{
    const std::pair<QRect, int> cases[] = {
        // footprint, ellipse
        {QRect(0, 0, 40, 17), 5},
        {QRect(0, 0, 30, 30), 50},
        {QRect(0, 0, 7, 3), 0},
        {QRect(10, 10, 2, 9), 6},
        {QRect(0, 0, 200, 104), 30},
    };
    for (const auto &[footprint, ellipse] : cases) {
        const RoundedShape shape(footprint, ellipse, ellipse);
        const QSet<Pixel> all = PixelsOf(shape.Rows());
        QSet<Pixel> inside = all;
        for (int thickness = 1; thickness <= 3; ++thickness) {
            QSet<Pixel> peeled;
            for (const auto &[x, y] : inside) {
                for (const Pixel &n : {Pixel{x - 1, y}, Pixel{x + 1, y}, Pixel{x, y - 1}, Pixel{x, y + 1}}) {
                    if (!inside.contains(n))
                        peeled.insert({x, y});
                }
            }
            inside -= peeled;
            EXPECT_EQ(PixelsOf(shape.Outline(thickness)), all - inside) << ellipse << " " << thickness;
            EXPECT_EQ(PixelsOf(shape.Interior(thickness)), inside) << ellipse << " " << thickness;
        }
    }
}

TEST(RoundedShape, CornersAreCutSymmetricallyAndAnEmptyFootprintHasNoPixels)
{
    const QVector<QRect> rows = RoundedShape(QRect(0, 0, 40, 17), 5, 5).Rows();
    ASSERT_EQ(rows.size(), 17);
    EXPECT_EQ(QVector<QRect>({rows[0], rows[1], rows[15], rows[16]}),
        QVector<QRect>({QRect(1, 0, 38, 1), QRect(0, 1, 40, 1), QRect(0, 15, 40, 1), QRect(1, 16, 38, 1)}));
    for (const QRect &row : RoundedShape(QRect(2, 3, 10, 4), 0, 0).Rows())
        EXPECT_EQ(row.left(), 2);

    EXPECT_TRUE(RoundedShape(QRect(5, 5, 0, 10), 5, 5).Rows().isEmpty());
    EXPECT_TRUE(RoundedShape(QRect(QPoint(10, 10), QPoint(4, 4)), 5, 5).Outline().isEmpty());
}
