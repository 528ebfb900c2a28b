#include "controls/frame/GFXFrameX.h"

#include "controls/ControlColours.h"
#include "controls/ControlUnits.h"
#include "controls/PropertyStore.h"
#include "controls/RoundedShape.h"
#include "util/Numbers.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace {

int Mean4(int a, int b, int c, int d)
{
    return static_cast<int>(RoundHalfEven((a + b + c + d) / 4.0));
}

bool SameColour(QRgb a, QRgb b)
{
    return (a & RGB_MASK) == (b & RGB_MASK);
}

} // namespace

GFXFrameX::GFXFrameX(QWidget *parent) : QWidget(parent)
{
    InitProperties();
}

void GFXFrameX::Invalidate()
{
    face = QImage();
    update();
}

void GFXFrameX::Changed(const QString &name)
{
    Q_EMIT PropertyChanged(name);
    Invalidate();
}

void GFXFrameX::SetFrameStyle(int32_t v)
{
    Apply<&FrameModel::SetFrameStyle>(v);
}

void GFXFrameX::SetFillColour(OleColour v)
{
    Apply<&FrameModel::SetFillColour>(v);
}

void GFXFrameX::SetBorderColour(OleColour v)
{
    Apply<&FrameModel::SetBorderColour>(v);
}

void GFXFrameX::SetBackColour(OleColour v)
{
    Apply<&FrameModel::SetBackColour>(v);
}

void GFXFrameX::SetBackColourIs(int32_t v)
{
    Apply<&FrameModel::SetBackColourIs>(v);
}

void GFXFrameX::SetCornerDepth(int v)
{
    Apply<&FrameModel::SetCornerDepth>(v);
}

void GFXFrameX::SetShowShadow(bool v)
{
    Apply<&FrameModel::SetShowShadow>(v);
}

void GFXFrameX::SetShadowDepth(int v)
{
    Apply<&FrameModel::SetShadowDepth>(v);
}

void GFXFrameX::SetShadowOpacity(int v)
{
    Apply<&FrameModel::SetShadowOpacity>(v);
}

void GFXFrameX::Refresh()
{
    Invalidate();
}

void GFXFrameX::InitProperties()
{
    model.InitProperties(ContainerBackColour());
    Invalidate();
}

void GFXFrameX::ReadProperties(const PropertyStore &store)
{
    model.ReadProperties(store, ContainerBackColour());
    Invalidate();
}

void GFXFrameX::WriteProperties(PropertyStore &store) const
{
    model.WriteProperties(store, ContainerBackColour());
}

// The colour the container paints itself with. One that the platform chose
// is kept as the system colour that stands for it, so that the frame follows
// a later change of the desktop's colours.
OleColour GFXFrameX::ContainerBackColour() const
{
    const QWidget *container = parentWidget() ? parentWidget() : this;
    const QPalette::ColorRole role = container->backgroundRole();
    const QColor colour = container->palette().color(role);
    if (colour == QApplication::palette(container).color(role)) {
        if (const std::optional<OleColour> system = SystemColourOf(role))
            return *system;
    }
    return ToOleColour(colour);
}

OleColour GFXFrameX::Background() const
{
    return ResolveColour(model.BackColourIs() != 0 ? model.BackColour() : ContainerBackColour(), palette());
}

QSize GFXFrameX::sizeHint() const
{
    return QSize(200, 100);
}

// Shapes are drawn unsmoothed, covering exactly the pixels of their
// footprint, as the shadow's gap filling expects.
void GFXFrameX::DrawOutline(QPainter &p, const RoundedShape &shape, int thickness, const QColor &colour)
{
    for (const QRect &run : shape.Outline(thickness))
        p.fillRect(run, colour);
}

void GFXFrameX::DrawFrame(QPainter &p, const FrameGeometry &geometry) const
{
    const RoundedShape shape(geometry.FrameRect(), geometry.Corner, geometry.Corner);
    const QColor fill = ToQColor(model.FillColour(), palette());
    for (const QRect &row : shape.Interior(geometry.Border))
        p.fillRect(row, fill);
    DrawOutline(p, shape, geometry.Border, ToQColor(model.BorderColour(), palette()));
}

void GFXFrameX::PaintShadow(QImage &image, const FrameGeometry &geometry, OleColour background) const
{
    {
        QPainter p(&image);
        for (int step = 0; step <= geometry.Depth; ++step) {
            const RoundedShape outline(geometry.ShadowOutline(step), geometry.Corner, geometry.Corner);
            DrawOutline(p, outline, 1, ToQColor(model.ShadowColour(background, step, geometry.Depth), palette()));
        }
    }
    if (!geometry.Rounded)
        return;
    const QRgb backgroundRgb = ToQColor(background, palette()).rgb();
    for (const QRect &block : geometry.SmoothingBlocks())
        SmoothShadow(image, block, backgroundRgb);
}

// Drawn pixel by pixel in the surface's own pixels: at a higher pixel ratio
// the depths, corners and border grow with it and the shadow gets as many
// more steps, so the face is as fine as the screen.
QImage GFXFrameX::Render(qreal ratio) const
{
    const FrameGeometry geometry = model.Geometry(width(), height(), ratio);
    QImage image(geometry.Width, geometry.Height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const OleColour background = Background();
    image.fill(ToQColor(background, palette()));
    if (model.FrameStyle() == 0 || model.FrameStyle() == 1) {
        if (geometry.Shadow)
            PaintShadow(image, geometry, background);
        QPainter p(&image);
        DrawFrame(p, geometry);
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

void GFXFrameX::SmoothShadow(QImage &image, const QRect &block, QRgb background)
{
    const QRect area = block.intersected(image.rect().adjusted(1, 1, -1, -1));
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (!SameColour(image.pixel(x, y), background))
                continue;
            const QRgb above = image.pixel(x, y - 1);
            const QRgb right = image.pixel(x + 1, y);
            const QRgb below = image.pixel(x, y + 1);
            const QRgb left = image.pixel(x - 1, y);
            image.setPixel(x, y,
                qRgb(Mean4(qRed(above), qRed(right), qRed(below), qRed(left)),
                    Mean4(qGreen(above), qGreen(right), qGreen(below), qGreen(left)),
                    Mean4(qBlue(above), qBlue(right), qBlue(below), qBlue(left))));
        }
    }
}

// The pixel ratio is the target's: the screen's, or that of an image the
// widget is rendered into.
void GFXFrameX::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const qreal ratio = TargetPixelRatio(p);
    if (face.isNull() || face.devicePixelRatioF() != ratio ||
        face.size() != model.Geometry(width(), height(), ratio).Size())
        face = Render(ratio);
    p.drawImage(QPointF(0, 0), face);
}

void GFXFrameX::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Invalidate();
}

// The background and shadow follow the container's colour.
void GFXFrameX::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange)
        Invalidate();
    QWidget::changeEvent(event);
}
