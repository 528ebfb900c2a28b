#include "controls/frame/FrameModel.h"

#include "controls/PropertyStore.h"

#include <QVariant>
#include <algorithm>
#include <limits>

namespace {

// Store values are converted without overflow; the setters clamp the rest.
int ToInt(const QVariant &v)
{
    return static_cast<int>(std::clamp<qint64>(v.toLongLong(), std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

OleColour ToColour(const QVariant &v)
{
    return static_cast<OleColour>(v.toLongLong());
}

QVariant FromColour(OleColour c)
{
    return QVariant(static_cast<uint>(c));
}

int InterpolateChannel(int a, int b, int steps, int step)
{
    return a - ((a - b) / steps) * step;
}

} // namespace

void FrameModel::InitProperties(OleColour containerBack)
{
    SetFrameStyle(1);
    SetShadowOpacity(50);
    SetShowShadow(true);
    SetShadowDepth(5);
    SetCornerDepth(10);
    SetBackColourIs(0);
    SetBorderColour(0);
    SetFillColour(containerBack);
    SetBackColour(containerBack);
}

void FrameModel::ReadProperties(const PropertyStore &store, OleColour containerBack)
{
    SetFrameStyle(ToInt(store.Read("FrameStyle", 1)));
    SetShadowOpacity(ToInt(store.Read("ShadowOpacity", 50)));
    SetShowShadow(store.Read("ShowShadow", true).toBool());
    SetShadowDepth(ToInt(store.Read("ShadowDepth", 5)));
    SetFillColour(ToColour(store.Read("FillColour", FromColour(containerBack))));
    SetBackColour(ToColour(store.Read("BackColour", FromColour(containerBack))));
    SetBackColourIs(ToInt(store.Read("BackColourIs", 0)));
    SetBorderColour(ToColour(store.Read("BorderColour", FromColour(0))));
    SetCornerDepth(ToInt(store.Read("CornerDepth", 10)));
}

void FrameModel::WriteProperties(PropertyStore &store, OleColour containerBack) const
{
    store.Write("FrameStyle", frameStyle, 1);
    store.Write("ShadowOpacity", shadowOpacity, 50);
    store.Write("ShowShadow", showShadow, true);
    store.Write("ShadowDepth", shadowDepth, 5);
    store.Write("FillColour", FromColour(fillColour), FromColour(containerBack));
    store.Write("BackColour", FromColour(backColour), FromColour(containerBack));
    store.Write("BackColourIs", backColourIs, 0);
    store.Write("BorderColour", FromColour(borderColour), FromColour(0));
    store.Write("CornerDepth", cornerDepth, 10);
}

void FrameModel::SetCornerDepth(int v)
{
    cornerDepth = static_cast<int16_t>(std::clamp(v, 0, 50));
}

// Depths beyond 40 jump to 50 rather than stopping at 40.
void FrameModel::SetShadowDepth(int v)
{
    shadowDepth = static_cast<int16_t>(v < 2 ? 2 : (v > 40 ? 50 : v));
}

void FrameModel::SetShadowOpacity(int v)
{
    shadowOpacity = static_cast<int16_t>(std::clamp(v, 0, 100));
}

OleColour FrameModel::Interpolate(OleColour a, OleColour b, int steps, int step)
{
    return RGB(InterpolateChannel(RedOf(a), RedOf(b), steps, step),
               InterpolateChannel(GreenOf(a), GreenOf(b), steps, step),
               InterpolateChannel(BlueOf(a), BlueOf(b), steps, step));
}

OleColour FrameModel::ShadowColour(OleColour background, int step) const
{
    const OleColour darkest = Interpolate(0, background, 100, 100 - shadowOpacity);
    return Interpolate(darkest, background, shadowDepth, step);
}

QRect FrameModel::ShadowOutline(int step, int width, int height) const
{
    const int d = shadowDepth;
    return QRect(QPoint(2 * d - step, 2 * d - step), QPoint(width - d + step - 1, height - d + step - 1));
}

QRect FrameModel::FrameRect(int width, int height) const
{
    const int inset = showShadow ? shadowDepth : 0;
    return QRect(0, 0, width - inset, height - inset);
}

QVector<QRect> FrameModel::SmoothingBlocks(int width, int height) const
{
    const int d = shadowDepth;
    const int c = cornerDepth;
    const QRect blocks[] = {
        QRect(QPoint(width - 2 * d, height - 2 * d), QPoint(width - 3, height - 3)),
        QRect(QPoint(width - 2 * d, c), QPoint(width - 3, 4 * c)),
        QRect(QPoint(c, height - 2 * d), QPoint(4 * c, height - 3)),
    };
    QVector<QRect> valid;
    for (const QRect &block : blocks) {
        if (!block.isEmpty())
            valid.append(block);
    }
    return valid;
}
