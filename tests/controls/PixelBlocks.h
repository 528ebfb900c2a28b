#pragma once

#include <QImage>
#include <QRect>
#include <QVector>
#include <optional>

// Counts the 2x2 pixel blocks of an area, aligned to even coordinates, whose
// four pixels are equal: a face drawn at device pixel ratio 1 and scaled up
// by 2 consists of such blocks only. With `touching`, only the blocks that
// hold a pixel of that colour count.
struct PixelBlocks {
    int Uniform = 0;
    int Total = 0;

    PixelBlocks(const QImage &image, const QRect &area, std::optional<QRgb> touching = std::nullopt)
    {
        const QRect inside = area.intersected(image.rect());
        for (int y = inside.top() & ~1; y + 1 <= inside.bottom(); y += 2) {
            for (int x = inside.left() & ~1; x + 1 <= inside.right(); x += 2) {
                const QRgb block[] = {
                    image.pixel(x, y), image.pixel(x + 1, y), image.pixel(x, y + 1), image.pixel(x + 1, y + 1)};
                if (touching && std::find(std::begin(block), std::end(block), *touching) == std::end(block))
                    continue;
                ++Total;
                Uniform += block[0] == block[1] && block[0] == block[2] && block[0] == block[3];
            }
        }
    }
};

// The colours at some points, to compare in one assertion.
inline QVector<QRgb> PixelsAt(const QImage &image, std::initializer_list<QPoint> points)
{
    QVector<QRgb> pixels;
    for (const QPoint &p : points)
        pixels << image.pixel(p);
    return pixels;
}
