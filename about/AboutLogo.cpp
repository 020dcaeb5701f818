// Drawing the about box's logo.
#include "AboutLogo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pixdock::about {

QPixmap aboutLogo()
{
    QPixmap logo(112, 86);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);

    // The photograph behind, tilted.
    p.save();
    p.translate(60, 44);
    p.rotate(-8);
    p.setPen(QPen(QColor(0x88, 0x88, 0x88), 1));
    p.setBrush(QColor(0xf4, 0xf1, 0xe8));
    p.drawRoundedRect(QRectF(-46, -32, 92, 64), 3, 3);
    p.restore();

    // The front photograph: white border, sky, sun and hills.
    const QRectF card(10, 14, 92, 66);
    p.setPen(QPen(QColor(0x66, 0x66, 0x66), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(card, 3, 3);
    const QRectF picture = card.adjusted(5, 5, -5, -5);
    QLinearGradient sky(picture.topLeft(), picture.bottomLeft());
    sky.setColorAt(0, QColor(0x5b, 0x9b, 0xd5));
    sky.setColorAt(1, QColor(0xc9, 0xe3, 0xf7));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(picture);
    p.setBrush(QColor(0xff, 0xc8, 0x2c));
    p.drawEllipse(QPointF(picture.right() - 18, picture.top() + 14), 7, 7);

    p.setClipRect(picture);
    QPainterPath far;
    far.moveTo(picture.bottomLeft());
    far.lineTo(picture.left(), picture.bottom() - 22);
    far.quadTo(picture.left() + 28, picture.bottom() - 44, picture.left() + 52, picture.bottom() - 24);
    far.quadTo(picture.left() + 68, picture.bottom() - 36, picture.right(), picture.bottom() - 20);
    far.lineTo(picture.bottomRight());
    far.closeSubpath();
    p.setBrush(QColor(0x4e, 0x8f, 0x3a));
    p.drawPath(far);
    QPainterPath near;
    near.moveTo(picture.bottomLeft());
    near.lineTo(picture.left(), picture.bottom() - 8);
    near.quadTo(picture.center().x(), picture.bottom() - 24, picture.right(), picture.bottom() - 6);
    near.lineTo(picture.bottomRight());
    near.closeSubpath();
    p.setBrush(QColor(0x2f, 0x6b, 0x25));
    p.drawPath(near);
    return logo;
}

} // namespace pixdock::about
