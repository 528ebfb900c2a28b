#include "util/Units.h"

namespace {

double TwipsPerUnit(int scaleMode, bool vertical)
{
    switch (scaleMode) {
    case ScalePoints:
        return 20.0;
    case ScaleCharacters:
        return vertical ? 240.0 : 120.0;
    case ScaleInches:
        return 1440.0;
    case ScaleMillimetres:
        return 1440.0 / 25.4;
    case ScaleCentimetres:
        return 1440.0 / 2.54;
    default:
        return 1.0;
    }
}

} // namespace

double ScaleToTwips(double value, int scaleMode, bool vertical)
{
    return value * TwipsPerUnit(scaleMode, vertical);
}

double TwipsToScale(double twips, int scaleMode, bool vertical)
{
    return twips / TwipsPerUnit(scaleMode, vertical);
}

double ScaleToPixels(double value, int scaleMode, double twipsPerPixel, bool vertical)
{
    if (scaleMode == ScalePixels)
        return value;
    return ScaleToTwips(value, scaleMode, vertical) / twipsPerPixel;
}

double PixelsToScale(double pixels, int scaleMode, double twipsPerPixel, bool vertical)
{
    if (scaleMode == ScalePixels)
        return pixels;
    return TwipsToScale(pixels * twipsPerPixel, scaleMode, vertical);
}
