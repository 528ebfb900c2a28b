#include "util/Colour.h"

#include "util/Numbers.h"

OleColour GreyOf(OleColour c)
{
    const double red = c % 256;
    const double green = RoundHalfEven((c % 65536) / 256.0);
    const double blue = RoundHalfEven(c / 65536.0);
    const int grey = static_cast<int>(RoundHalfEven((red + green + blue) / 3.0));
    return RGB(grey, grey, grey);
}
