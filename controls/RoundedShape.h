#pragma once

#include <QRect>
#include <QVector>

// The pixels of a rectangle with corners rounded by an ellipse, drawn
// unsmoothed: each row of the shape is one span, and a pixel belongs to it
// when its centre lies inside the corner ellipse. The shape is symmetric
// left to right and top to bottom. An ellipse of zero size gives the plain
// rectangle; one larger than the rectangle is reduced to its size.
class RoundedShape {
public:
    // footprint: the pixels the shape spans; ellipse: the corner ellipse's
    // width and height in pixels.
    RoundedShape(const QRect &footprint, int ellipseWidth, int ellipseHeight);

    // One pixel-high rectangle per row: outline and interior together.
    // Returned by value (shared, no copy) so that looping over the rows of a
    // temporary shape is safe.
    QVector<QRect> Rows() const { return rows; }
    // One pixel-high rectangles covering the outline `thickness` pixels deep:
    // the pixels of the shape that are at most that many steps (up, down,
    // left or right) away from a pixel outside it.
    QVector<QRect> Outline(int thickness = 1) const;
    // The rows of the shape inside that outline.
    QVector<QRect> Interior(int thickness) const;

private:
    // Row by row (an empty rectangle where nothing is left), the pixels
    // `thickness` steps or more inside the shape.
    QVector<QRect> Eroded(int thickness) const;

    QVector<QRect> rows;
};
