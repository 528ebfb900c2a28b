#include "controls/progress/ProgressBar.h"

#include "controls/ControlColours.h"
#include "controls/ControlUnits.h"
#include "controls/PropertyStore.h"
#include "controls/RoundedShape.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

QSize DeviceSize(const QSize &logical, qreal ratio)
{
    return QSize(static_cast<int>(std::lround(logical.width() * ratio)),
        static_cast<int>(std::lround(logical.height() * ratio)));
}

// Lets draw() work in the pixels of the painter's surface.
template <class Draw>
void InDevicePixels(QPainter &p, qreal ratio, Draw draw)
{
    const QTransform logical = p.transform();
    p.scale(1 / ratio, 1 / ratio);
    draw();
    p.setTransform(logical);
}

// A region wants its rectangles in bands: rows of equal span are merged.
QRegion RegionOf(const QVector<QRect> &rows)
{
    QVector<QRect> bands;
    for (const QRect &row : rows) {
        if (!bands.isEmpty() && bands.last().left() == row.left() && bands.last().right() == row.right())
            bands.last().setBottom(row.bottom());
        else
            bands.append(row);
    }
    QRegion region;
    region.setRects(bands.constData(), static_cast<int>(bands.size()));
    return region;
}

} // namespace

ProgressBar::ProgressBar(QWidget *parent) : QWidget(parent)
{
    InitProperties();
}

void ProgressBar::Changed(const QString &name)
{
    Q_EMIT PropertyChanged(name);
    update();
}

void ProgressBar::SetMax(int32_t v)
{
    Apply<&ProgressBarModel::SetMax>(v);
}

void ProgressBar::SetMin(int32_t v)
{
    Apply<&ProgressBarModel::SetMin>(v);
}

void ProgressBar::SetValue(int32_t v)
{
    Apply<&ProgressBarModel::SetValue>(v);
}

void ProgressBar::SetRoundedValue(int32_t v)
{
    Apply<&ProgressBarModel::SetRoundedValue>(v);
}

void ProgressBar::SetEnabled(bool v)
{
    Apply<&ProgressBarModel::SetEnabled>(v);
}

void ProgressBar::SetTheme(int32_t v)
{
    Apply<&ProgressBarModel::SetTheme>(v);
}

void ProgressBar::SetTextStyle(int32_t v)
{
    Apply<&ProgressBarModel::SetTextStyle>(v);
}

void ProgressBar::SetOrientations(int32_t v)
{
    Apply<&ProgressBarModel::SetOrientations>(v);
}

void ProgressBar::SetTextAlignment(int32_t v)
{
    Apply<&ProgressBarModel::SetTextAlignment>(v);
}

void ProgressBar::SetText(const QString &v)
{
    Apply<&ProgressBarModel::SetText>(v);
}

void ProgressBar::SetTextForeColor(OleColour v)
{
    Apply<&ProgressBarModel::SetTextForeColor>(v);
}

void ProgressBar::SetTextEffect(int32_t v)
{
    Apply<&ProgressBarModel::SetTextEffect>(v);
}

void ProgressBar::SetTextEffectColor(OleColour v)
{
    Apply<&ProgressBarModel::SetTextEffectColor>(v);
}

void ProgressBar::SetTextFont(const QFont &v)
{
    setFont(v);
    Apply<&ProgressBarModel::SetTextFont>(v.toString());
}

void ProgressBar::SetPBSCustomeColor1(OleColour v)
{
    Apply<&ProgressBarModel::SetPBSCustomeColor1>(v);
}

void ProgressBar::SetPBSCustomeColor2(OleColour v)
{
    Apply<&ProgressBarModel::SetPBSCustomeColor2>(v);
}

// The font the control would have without one of its own: its parent's,
// or the application's.
QFont ProgressBar::HostFont() const
{
    return parentWidget() ? parentWidget()->font() : QFont();
}

void ProgressBar::InitProperties()
{
    model.InitProperties(HostFont().toString());
    setFont(HostFont());
    update();
}

void ProgressBar::ReadProperties(const PropertyStore &store)
{
    model.ReadProperties(store, HostFont().toString(), objectName());
    QFont stored;
    setFont(stored.fromString(model.TextFont()) ? stored : HostFont());
    update();
}

void ProgressBar::WriteProperties(PropertyStore &store) const
{
    model.WriteProperties(store);
}

QSize ProgressBar::sizeHint() const
{
    return QSize(160, 17);
}

void ProgressBar::GradientTwoColour(QPainter &hdc, int32_t Direction, OleColour StartColor, OleColour EndColor,
    int32_t Left, int32_t Top, int32_t Width, int32_t Height) const
{
    if ((Direction != 0 && Direction != 1) || Width <= Left || Height <= Top)
        return;
    QLinearGradient gradient = Direction == 0 ? QLinearGradient(Left, 0, Width, 0) : QLinearGradient(0, Top, 0, Height);
    gradient.setColorAt(0, ToQColor(StartColor, palette()));
    gradient.setColorAt(1, ToQColor(EndColor, palette()));
    hdc.fillRect(QRect(QPoint(Left, Top), QPoint(Width - 1, Height - 1)), gradient);
}

QColor ProgressBar::Drawn(OleColour c) const
{
    return ToQColor(model.Shown(ResolveColour(c, palette())), palette());
}

// The face in the pixels of a surface at the given pixel ratio: outside it
// nothing is painted, so the container shows through the cut corners.
RoundedShape ProgressBar::Face(qreal ratio) const
{
    const int corner = static_cast<int>(std::lround(std::clamp(model.RoundedValue(), 0, 1 << 16) * ratio));
    return RoundedShape(QRect(QPoint(0, 0), DeviceSize(size(), ratio)), corner, corner);
}

void ProgressBar::PaintTrackAndFill(QPainter &p) const
{
    const int w = width();
    const int h = height();
    ProgressBarModel::Palette colours = model.CurrentPalette();
    for (OleColour &c : colours)
        c = ToOleColour(Drawn(c));
    const int fill = model.FillLength(w, h);
    const bool filled = model.Value() >= 1;

    if (model.Orientations() == 1) {
        const int half = ProgressBarModel::HalfOf(h);
        GradientTwoColour(p, 1, colours[0], colours[2], 0, 0, w, half);
        GradientTwoColour(p, 1, colours[4], colours[6], 0, half, w, h);
        if (filled) {
            GradientTwoColour(p, 1, colours[8], colours[10], 0, 0, fill, half);
            GradientTwoColour(p, 1, colours[12], colours[14], 0, half, fill, h);
        }
    } else if (model.Orientations() == 2) {
        const int half = ProgressBarModel::HalfOf(w);
        GradientTwoColour(p, 0, colours[0], colours[2], 0, 0, half, h);
        GradientTwoColour(p, 0, colours[4], colours[6], half, 0, w, h);
        if (filled) {
            GradientTwoColour(p, 0, colours[8], colours[10], 0, 0, half, fill);
            GradientTwoColour(p, 0, colours[12], colours[14], half, 0, w, fill);
        }
    }
}

// One logical pixel thick, stepping in the surface's own pixels.
void ProgressBar::PaintOutline(QPainter &p, const RoundedShape &face, qreal ratio) const
{
    const QColor colour = Drawn(model.CurrentPalette()[16]);
    const int thickness = std::max(1, static_cast<int>(std::lround(ratio)));
    InDevicePixels(p, ratio, [&] {
        for (const QRect &run : face.Outline(thickness))
            p.fillRect(run, colour);
    });
}

void ProgressBar::PaintCaption(QPainter &p) const
{
    if (!model.HasCaption())
        return;
    const QString caption = model.Caption();
    const QFontMetrics metrics(font());
    const QPoint at = model.CaptionPosition(width(), height(), metrics.horizontalAdvance(caption), metrics.height());
    p.setFont(font());
    for (const ProgressBarModel::CaptionCopy &copy : model.CaptionCopies()) {
        p.setPen(Drawn(copy.Colour));
        p.drawText(at.x() + copy.Dx, at.y() + copy.Dy + metrics.ascent(), caption);
    }
}

void ProgressBar::PaintFace(QPainter &p, qreal ratio) const
{
    if (width() <= 0 || height() <= 0)
        return;
    const RoundedShape face = Face(ratio);
    InDevicePixels(p, ratio, [&] { p.setClipRegion(RegionOf(face.Rows())); });
    p.fillRect(rect(), ToQColor(SystemColour(15), palette()));
    PaintTrackAndFill(p);
    PaintOutline(p, face, ratio);
    PaintCaption(p);
}

QImage ProgressBar::Render(qreal ratio) const
{
    QImage image(DeviceSize(size(), ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    PaintFace(p, ratio);
    return image;
}

void ProgressBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    PaintFace(p, TargetPixelRatio(p));
}
