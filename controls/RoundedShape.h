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
    // One pixel-high rectangles covering the one-pixel outline: the pixels of
    // the shape that have a neighbour above, below, left or right outside it.
    QVector<QRect> Outline() const;

private:
    QVector<QRect> rows;
};
