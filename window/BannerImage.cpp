#include "window/BannerImage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

BannerImage::BannerImage(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BannerImage::SetTitle(const QString &text, const QRect &area)
{
    title = text;
    titleArea = area;
    update();
}

void BannerImage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();

    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(44, 86, 151));
    sky.setColorAt(1, QColor(24, 52, 104));
    p.fillRect(r, sky);

    // Two wide curves across the banner, lighter towards the right.
    for (int i = 0; i < 2; ++i) {
        const qreal lift = r.height() * (0.35 + 0.25 * i);
        QPainterPath wave;
        wave.moveTo(r.left(), r.bottom());
        wave.lineTo(r.left(), r.bottom() - lift * 0.4);
        wave.cubicTo(r.width() * 0.35, r.bottom() - lift * 1.3, r.width() * 0.65, r.bottom() + lift * 0.2, r.right(),
            r.bottom() - lift);
        wave.lineTo(r.right(), r.bottom());
        wave.closeSubpath();
        QLinearGradient light(r.topLeft(), r.topRight());
        light.setColorAt(0, QColor(255, 255, 255, 10));
        light.setColorAt(1, QColor(255, 255, 255, 34 - 12 * i));
        p.fillPath(wave, light);
    }
    // A thin highlight along the lower edge separates the banner from the frame.
    p.setPen(QPen(QColor(120, 160, 220), 1));
    p.drawLine(QPointF(r.left(), r.bottom() - 0.5), QPointF(r.right(), r.bottom() - 0.5));

    if (title.isEmpty())
        return;
    QFont big = font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.8);
    p.setFont(big);
    p.setPen(QColor(255, 255, 255));
    p.drawText(titleArea, Qt::AlignRight | Qt::AlignVCenter, title);
}
