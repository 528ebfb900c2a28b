#pragma once

#include "window/TwipsRect.h"

#include <QRect>

class QWidget;

// How much larger than its design the window is laid out. The design's
// twips were made for a small font; where the desktop's font needs more
// room, every twips position and size is multiplied by this one factor as
// it becomes pixels, as a laid-out dialog grows with its font. The factor
// never goes below 1, and at 1 every control sits at its design place.
class LayoutScale {
public:
    double Factor() const { return factor; }

    // Raises the factor so that a length of `pixels` fits in `twips` of the
    // design, across or down, on the widget's screen.
    void HoldAcross(double pixels, double twips, const QWidget *on);
    void HoldDown(double pixels, double twips, const QWidget *on);

    // Design twips to whole pixels at this scale, and back.
    int ToPixelsX(double twips, const QWidget *on) const;
    int ToPixelsY(double twips, const QWidget *on) const;
    double ToTwipsX(int pixels, const QWidget *on) const;
    double ToTwipsY(int pixels, const QWidget *on) const;
    // A rectangle in its container's pixels; a size never goes below one pixel.
    QRect ToPixels(const TwipsRect &at, const QWidget *on) const;

private:
    double factor = 1.0;
};
