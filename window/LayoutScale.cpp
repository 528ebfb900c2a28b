#include "window/LayoutScale.h"

#include "controls/ControlUnits.h"

#include <algorithm>

void LayoutScale::HoldAcross(double pixels, double twips, const QWidget *on)
{
    if (twips > 0)
        factor = std::max(factor, pixels * TwipsPerPixelX(on) / twips);
}

void LayoutScale::HoldDown(double pixels, double twips, const QWidget *on)
{
    if (twips > 0)
        factor = std::max(factor, pixels * TwipsPerPixelY(on) / twips);
}

int LayoutScale::ToPixelsX(double twips, const QWidget *on) const
{
    return TwipsToPixelsX(twips * factor, on);
}

int LayoutScale::ToPixelsY(double twips, const QWidget *on) const
{
    return TwipsToPixelsY(twips * factor, on);
}

double LayoutScale::ToTwipsX(int pixels, const QWidget *on) const
{
    return PixelsToTwips(pixels, TwipsPerPixelX(on)) / factor;
}

double LayoutScale::ToTwipsY(int pixels, const QWidget *on) const
{
    return PixelsToTwips(pixels, TwipsPerPixelY(on)) / factor;
}

QRect LayoutScale::ToPixels(const TwipsRect &at, const QWidget *on) const
{
    return QRect(ToPixelsX(at.Left, on), ToPixelsY(at.Top, on), std::max(1, ToPixelsX(at.Width, on)),
        std::max(1, ToPixelsY(at.Height, on)));
}
