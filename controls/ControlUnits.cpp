#include "controls/ControlUnits.h"

#include "util/Numbers.h"
#include "util/Units.h"

#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace {

const QScreen *ScreenOf(const QWidget *widget)
{
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

double TwipsPerPixelAt(double dpi)
{
    return dpi > 0 ? 1440.0 / dpi : DefaultTwipsPerPixel;
}

} // namespace

double TwipsPerPixelX(const QWidget *widget)
{
    const QScreen *screen = ScreenOf(widget);
    return screen ? TwipsPerPixelAt(screen->logicalDotsPerInchX()) : DefaultTwipsPerPixel;
}

double TwipsPerPixelY(const QWidget *widget)
{
    const QScreen *screen = ScreenOf(widget);
    return screen ? TwipsPerPixelAt(screen->logicalDotsPerInchY()) : DefaultTwipsPerPixel;
}

int TwipsToPixels(double twips, double twipsPerPixel)
{
    return static_cast<int>(RoundHalfEven(ScaleToPixels(twips, ScaleTwips, twipsPerPixel)));
}

double PixelsToTwips(int pixels, double twipsPerPixel)
{
    return PixelsToScale(pixels, ScaleTwips, twipsPerPixel);
}

int TwipsToPixelsX(double twips, const QWidget *widget)
{
    return TwipsToPixels(twips, TwipsPerPixelX(widget));
}

int TwipsToPixelsY(double twips, const QWidget *widget)
{
    return TwipsToPixels(twips, TwipsPerPixelY(widget));
}

double TargetPixelRatio(const QPainter &p)
{
    const QPaintEngine *engine = p.paintEngine();
    return engine && engine->paintDevice() ? engine->paintDevice()->devicePixelRatioF() : 1.0;
}
