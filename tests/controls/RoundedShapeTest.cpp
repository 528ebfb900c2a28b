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

TEST(RoundedShape, OutlineIsTheShapesPixelsWithANeighbourOutside)
{
    const struct {
        QRect footprint;
        int ellipse;
    } cases[] = {
        {QRect(0, 0, 40, 17), 5}, {QRect(3, 4, 90, 60), 10}, {QRect(0, 0, 30, 30), 50},
        {QRect(0, 0, 7, 3), 0},   {QRect(10, 10, 2, 9), 6},   {QRect(0, 0, 200, 104), 30},
    };
    for (const auto &c : cases) {
        const RoundedShape shape(c.footprint, c.ellipse, c.ellipse);
        const QSet<Pixel> inside = PixelsOf(shape.Rows());
        QSet<Pixel> edge;
        for (const Pixel &p : inside) {
            const Pixel around[] = {{p.first - 1, p.second}, {p.first + 1, p.second},
                                    {p.first, p.second - 1}, {p.first, p.second + 1}};
            for (const Pixel &n : around) {
                if (!inside.contains(n))
                    edge.insert(p);
            }
        }
        EXPECT_EQ(PixelsOf(shape.Outline()), edge) << c.ellipse;
    }
}

TEST(RoundedShape, CornersAreCutSymmetrically)
{
    const RoundedShape shape(QRect(0, 0, 40, 17), 5, 5);
    const QVector<QRect> &rows = shape.Rows();
    ASSERT_EQ(rows.size(), 17);
    EXPECT_EQ(rows[0], QRect(1, 0, 38, 1));
    EXPECT_EQ(rows[1], QRect(0, 1, 40, 1));
    EXPECT_EQ(rows[15], QRect(0, 15, 40, 1));
    EXPECT_EQ(rows[16], QRect(1, 16, 38, 1));

    const RoundedShape square(QRect(2, 3, 10, 4), 0, 0);
    for (const QRect &row : square.Rows())
        EXPECT_EQ(row.left(), 2);
}

TEST(RoundedShape, EmptyFootprintHasNoPixels)
{
    EXPECT_TRUE(RoundedShape(QRect(5, 5, 0, 10), 5, 5).Rows().isEmpty());
    EXPECT_TRUE(RoundedShape(QRect(QPoint(10, 10), QPoint(4, 4)), 5, 5).Outline().isEmpty());
}
