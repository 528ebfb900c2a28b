#include "controls/frame/FrameModel.h"

#include "controls/PropertyStore.h"

#include <algorithm>

namespace {

int InterpolateChannel(int a, int b, int steps, int step)
{
    return a - ((a - b) / steps) * step;
}

} // namespace

const PropertyTable<FrameModel, FrameModel::Host> &FrameModel::Properties()
{
    using M = FrameModel;
    using Table = PropertyTable<M, Host>;
    static const Table table = {
        Table::Property<&M::FrameStyle, &M::SetFrameStyle>("FrameStyle", 1),
        Table::Property<&M::ShadowOpacity, &M::SetShadowOpacity>("ShadowOpacity", 50),
        Table::Property<&M::ShowShadow, &M::SetShowShadow>("ShowShadow", true),
        Table::Property<&M::ShadowDepth, &M::SetShadowDepth>("ShadowDepth", 5),
        Table::Property<&M::FillColour, &M::SetFillColour>("FillColour", &Host::ContainerBack),
        Table::Property<&M::BackColour, &M::SetBackColour>("BackColour", &Host::ContainerBack),
        Table::Property<&M::BackColourIs, &M::SetBackColourIs>("BackColourIs", 0),
        Table::Property<&M::BorderColour, &M::SetBorderColour>("BorderColour", 0),
        Table::Property<&M::CornerDepth, &M::SetCornerDepth>("CornerDepth", 10),
    };
    return table;
}

void FrameModel::InitProperties(OleColour containerBack)
{
    Properties().Init(*this, Host{containerBack});
}

void FrameModel::ReadProperties(const PropertyStore &store, OleColour containerBack)
{
    Properties().Read(*this, store, Host{containerBack});
}

void FrameModel::WriteProperties(PropertyStore &store, OleColour containerBack) const
{
    Properties().Write(*this, store, Host{containerBack});
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
