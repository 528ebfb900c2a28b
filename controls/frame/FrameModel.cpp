#include "controls/frame/FrameModel.h"

#include "controls/PropertyStore.h"

#include <algorithm>
#include <cmath>

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
        InterpolateChannel(GreenOf(a), GreenOf(b), steps, step), InterpolateChannel(BlueOf(a), BlueOf(b), steps, step));
}

OleColour FrameModel::ShadowColour(OleColour background, int step, int steps) const
{
    const OleColour darkest = Interpolate(0, background, 100, 100 - shadowOpacity);
    return Interpolate(darkest, background, steps, step);
}

FrameGeometry FrameModel::Geometry(int width, int height, double ratio) const
{
    const auto scaled = [ratio](int v) { return static_cast<int>(std::lround(v * ratio)); };
    FrameGeometry geometry;
    geometry.Width = scaled(width);
    geometry.Height = scaled(height);
    geometry.Depth = scaled(shadowDepth);
    geometry.Rounded = frameStyle == 0;
    geometry.Corner = geometry.Rounded ? scaled(cornerDepth) : 0;
    geometry.Border = std::max(1, scaled(1));
    geometry.Shadow = showShadow;
    return geometry;
}

QRect FrameGeometry::ShadowOutline(int step) const
{
    const int d = Depth;
    return QRect(QPoint(2 * d - step, 2 * d - step), QPoint(Width - d + step - 1, Height - d + step - 1));
}

QRect FrameGeometry::FrameRect() const
{
    const int inset = Shadow ? Depth : 0;
    return QRect(0, 0, Width - inset, Height - inset);
}

QVector<QRect> FrameGeometry::SmoothingBlocks() const
{
    const int d = Depth;
    const int c = Corner;
    const QRect blocks[] = {
        QRect(QPoint(Width - 2 * d, Height - 2 * d), QPoint(Width - 3, Height - 3)),
        QRect(QPoint(Width - 2 * d, c), QPoint(Width - 3, 4 * c)),
        QRect(QPoint(c, Height - 2 * d), QPoint(4 * c, Height - 3)),
    };
    QVector<QRect> valid;
    for (const QRect &block : blocks) {
        if (!block.isEmpty())
            valid.append(block);
    }
    return valid;
}
