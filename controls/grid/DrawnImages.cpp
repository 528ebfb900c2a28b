#include "controls/grid/DrawnImages.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Shapes are laid out on a 16 x 16 grid and scaled to the box.
void OnSixteenGrid(QPainter &p, const QRectF &box, const std::function<void(QPainter &)> &draw)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(box.topLeft());
    p.scale(box.width() / 16.0, box.height() / 16.0);
    draw(p);
    p.restore();
}

void Folder(QPainter &p)
{
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.setPen(QPen(QColor(176, 128, 24), 1));
    p.setBrush(QColor(232, 184, 64));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(3.5, 7);
    front.lineTo(15.5, 7);
    front.lineTo(14.5, 13.5);
    front.closeSubpath();
    p.setBrush(QColor(252, 214, 112));
    p.drawPath(front);
}

void RowMarker(QPainter &p)
{
    QPainterPath arrow;
    arrow.moveTo(5, 3.5);
    arrow.lineTo(11.5, 8);
    arrow.lineTo(5, 12.5);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(64, 80, 112));
    p.drawPath(arrow);
}

void Disc(QPainter &p, const QColor &fill, const QColor &rim)
{
    p.setPen(QPen(rim, 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
}

// Runs after the downloads: a green disc with a play sign.
void PostProcessAuto(QPainter &p)
{
    Disc(p, QColor(64, 168, 72), QColor(32, 112, 40));
    QPainterPath play;
    play.moveTo(6.5, 4.8);
    play.lineTo(11.2, 8);
    play.lineTo(6.5, 11.2);
    play.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(play);
}

// Set but started by hand: an amber disc with a pause sign.
void PostProcessManual(QPainter &p)
{
    Disc(p, QColor(232, 160, 40), QColor(168, 104, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 5, 1.8, 6));
    p.drawRect(QRectF(8.7, 5, 1.8, 6));
}

} // namespace

void DrawnImages::Set(int index, Drawer drawer)
{
    drawers[index] = std::move(drawer);
}

bool DrawnImages::Has(int index) const
{
    return drawers.count(index) != 0;
}

void DrawnImages::Draw(QPainter &p, int index, const QRectF &box) const
{
    const auto found = drawers.find(index);
    if (found != drawers.end())
        found->second(p, box);
}

DrawnImages DrawnImages::JobImages()
{
    DrawnImages images;
    const auto onGrid = [](void (*draw)(QPainter &)) {
        return [draw](QPainter &p, const QRectF &box) { OnSixteenGrid(p, box, draw); };
    };
    images.Set(3, onGrid(Folder));
    images.Set(4, onGrid(RowMarker));
    images.Set(5, onGrid(PostProcessAuto));
    images.Set(6, onGrid(PostProcessManual));
    return images;
}
