// Painting the about box's etched separator.
#include "EtchedLine.h"

#include "Twips.h"

#include <QPainter>

namespace pixdock::about {

EtchedLine::EtchedLine(int x1, int x2, int y, QWidget *parent)
    : QWidget(parent)
{
    setGeometry(twips::toPixels(x1), twips::toPixels(y), twips::toPixels(x2 - x1) + 1, 2);
}

void EtchedLine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(Qt::white);
    p.drawLine(1, 1, width() - 1, 1);
}

} // namespace pixdock::about
