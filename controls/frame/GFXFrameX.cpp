#include "controls/frame/GFXFrameX.h"

#include "controls/ControlColours.h"
#include "controls/PropertyStore.h"
#include "controls/RoundedShape.h"
#include "util/Numbers.h"

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

GFXFrameX::GFXFrameX(QWidget *parent)
    : QWidget(parent)
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

OleColour GFXFrameX::ContainerBackColour() const
{
    const QWidget *container = parentWidget() ? parentWidget() : this;
    return ToOleColour(container->palette().color(QPalette::Window));
}

OleColour GFXFrameX::Background() const
{
    return model.BackColourIs() != 0 ? ResolveColour(model.BackColour(), palette()) : ContainerBackColour();
}

QSize GFXFrameX::sizeHint() const
{
    return QSize(200, 100);
}

// Shapes are drawn unsmoothed with a one-pixel outline, covering exactly the
// pixels of their footprint, as the shadow's gap filling expects.
RoundedShape GFXFrameX::Shape(const QRect &footprint) const
{
    const int corner = model.FrameStyle() == 0 ? model.CornerDepth() : 0;
    return RoundedShape(footprint, corner, corner);
}

void GFXFrameX::DrawOutline(QPainter &p, const QRect &footprint, const QColor &colour) const
{
    for (const QRect &run : Shape(footprint).Outline())
        p.fillRect(run, colour);
}

void GFXFrameX::DrawFilled(QPainter &p, const QRect &footprint, const QColor &fill, const QColor &border) const
{
    for (const QRect &row : Shape(footprint).Rows())
        p.fillRect(row, fill);
    DrawOutline(p, footprint, border);
}

void GFXFrameX::PaintShadow(QImage &image, OleColour background) const
{
    {
        QPainter p(&image);
        for (int step = 0; step <= model.ShadowDepth(); ++step) {
            DrawOutline(p, model.ShadowOutline(step, image.width(), image.height()),
                        ToQColor(model.ShadowColour(background, step), palette()));
        }
    }
    if (model.FrameStyle() != 0)
        return;
    const QRgb backgroundRgb = ToQColor(background, palette()).rgb();
    for (const QRect &block : model.SmoothingBlocks(image.width(), image.height()))
        SmoothShadow(image, block, backgroundRgb);
}

QImage GFXFrameX::Render() const
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const OleColour background = Background();
    image.fill(ToQColor(background, palette()));
    if (model.FrameStyle() != 0 && model.FrameStyle() != 1)
        return image;
    if (model.ShowShadow())
        PaintShadow(image, background);
    QPainter p(&image);
    DrawFilled(p, model.FrameRect(image.width(), image.height()), ToQColor(model.FillColour(), palette()),
               ToQColor(model.BorderColour(), palette()));
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
            image.setPixel(x, y, qRgb(Mean4(qRed(above), qRed(right), qRed(below), qRed(left)),
                                      Mean4(qGreen(above), qGreen(right), qGreen(below), qGreen(left)),
                                      Mean4(qBlue(above), qBlue(right), qBlue(below), qBlue(left))));
        }
    }
}

void GFXFrameX::paintEvent(QPaintEvent *)
{
    if (face.size() != size())
        face = Render();
    QPainter p(this);
    p.drawImage(0, 0, face);
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
