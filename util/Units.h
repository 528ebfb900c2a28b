#pragma once

// Window layout values are in twips (1/1440 inch). The controls work in
// pixels and convert at their boundary; at 96 DPI a pixel is 15 twips.
constexpr double DefaultTwipsPerPixel = 15.0;

// The platform's scale-mode codes for lengths given in a control's unit.
enum ScaleMode {
    ScaleTwips = 1,
    ScalePoints = 2,
    ScalePixels = 3,
    ScaleCharacters = 4,
    ScaleInches = 5,
    ScaleMillimetres = 6,
    ScaleCentimetres = 7,
};

// A length in the given scale mode as twips (unknown modes count as twips).
// Characters are 120 twips wide and 240 twips high.
double ScaleToTwips(double value, int scaleMode, bool vertical = false);
double TwipsToScale(double twips, int scaleMode, bool vertical = false);

// Lengths between a scale mode and pixels, unrounded.
double ScaleToPixels(double value, int scaleMode, double twipsPerPixel, bool vertical = false);
double PixelsToScale(double pixels, int scaleMode, double twipsPerPixel, bool vertical = false);
