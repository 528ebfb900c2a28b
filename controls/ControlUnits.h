#pragma once

class QPainter;
class QWidget;

// Twips at the boundary of the controls: 1440 per inch at the screen's
// logical DPI, so 15 per pixel at 96 DPI. The screen is the widget's, or
// the primary screen without a widget; with no screen at all 96 DPI holds.
double TwipsPerPixelX(const QWidget *widget = nullptr);
double TwipsPerPixelY(const QWidget *widget = nullptr);

// Twips to whole pixels, halves to even.
int TwipsToPixels(double twips, double twipsPerPixel);
double PixelsToTwips(int pixels, double twipsPerPixel);

int TwipsToPixelsX(double twips, const QWidget *widget = nullptr);
int TwipsToPixelsY(double twips, const QWidget *widget = nullptr);

// The device pixel ratio of what the painter draws on: the screen's for a
// widget on screen, the image's when a widget is rendered into an image.
double TargetPixelRatio(const QPainter &p);
