// Drawing the browser toolbar's icons, so they need no picture files and stay sharp.
#include "ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <cmath>
#include <numbers>
#include <functional>

namespace pixdock::browser {

namespace {

constexpr int Size = 24;
const QColor Ink(0x20, 0x4a, 0x87);

QPixmap drawn(const std::function<void(QPainter &)> &paint)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return pixmap;
}

// A fat arrow pointing left (direction -1) or right (+1).
void arrow(QPainter &p, int direction)
{
    const double c = Size / 2.0;
    QPolygonF shape;
    for (QPointF pt : {QPointF(9, 0), QPointF(1, -8), QPointF(1, -3.5), QPointF(-9, -3.5),
                       QPointF(-9, 3.5), QPointF(1, 3.5), QPointF(1, 8)})
        shape << QPointF(c + direction * pt.x(), c + pt.y());
    p.setPen(QPen(Ink.darker(130), 1));
    p.setBrush(Ink);
    p.drawPolygon(shape);
}

void stop(QPainter &p)
{
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const double angle = (22.5 + 45.0 * i) * std::numbers::pi / 180.0;
        octagon << QPointF(12 + 10.5 * std::cos(angle), 12 + 10.5 * std::sin(angle));
    }
    p.setPen(QPen(QColor(0x8b, 0x10, 0x10), 1));
    p.setBrush(QColor(0xd0, 0x24, 0x24));
    p.drawPolygon(octagon);
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(16, 16));
    p.drawLine(QPointF(16, 8), QPointF(8, 16));
}

void refresh(QPainter &p)
{
    const QColor green(0x2e, 0x7d, 0x32);
    p.setPen(QPen(green, 3, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.5, 4.5, 15, 15), 90 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawPolygon(QPolygonF({QPointF(11, 0.5), QPointF(18, 4.5), QPointF(11, 8.5)}));
}

void home(QPainter &p)
{
    p.setPen(QPen(Ink.darker(130), 1));
    p.setBrush(QColor(0xc6, 0x28, 0x28));
    p.drawPolygon(QPolygonF({QPointF(12, 2), QPointF(22.5, 11.5), QPointF(1.5, 11.5)}));
    p.setBrush(QColor(0xf5, 0xe6, 0xc8));
    p.drawRect(QRectF(5, 11.5, 14, 10));
    p.setBrush(Ink);
    p.drawRect(QRectF(10, 15, 4.5, 6.5));
}

void search(QPainter &p)
{
    p.setPen(QPen(Ink, 2.5));
    p.setBrush(QColor(0xdd, 0xee, 0xff));
    p.drawEllipse(QRectF(3, 3, 12, 12));
    p.setPen(QPen(QColor(0x5d, 0x40, 0x37), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14.5, 14.5), QPointF(20.5, 20.5));
}

} // namespace

QStringList toolbarKeys()
{
    return {QStringLiteral("Back"), QStringLiteral("Forward"), QStringLiteral("Stop"),
            QStringLiteral("Refresh"), QStringLiteral("Home"), QStringLiteral("Search")};
}

QIcon toolbarIcon(const QString &key)
{
    if (key == QLatin1String("Back"))
        return QIcon(drawn([](QPainter &p) { arrow(p, -1); }));
    if (key == QLatin1String("Forward"))
        return QIcon(drawn([](QPainter &p) { arrow(p, +1); }));
    if (key == QLatin1String("Stop"))
        return QIcon(drawn(stop));
    if (key == QLatin1String("Refresh"))
        return QIcon(drawn(refresh));
    if (key == QLatin1String("Home"))
        return QIcon(drawn(home));
    if (key == QLatin1String("Search"))
        return QIcon(drawn(search));
    return {};
}

} // namespace pixdock::browser
