// Painting a whole or a partly decoded picture.
#include "PictureBox.h"

#include "JpegCompletion.h"

#include <QEventLoop>
#include <QPaintEvent>
#include <QPointer>
#include <QPainter>

#include <cmath>

namespace pixdock::viewing {

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

PictureBox::~PictureBox() = default;

void PictureBox::setDensity(qreal density) { m_density = density > 0 ? density : 1; }

QSize PictureBox::shownSize(QSize pixels) const
{
    return {int(std::ceil(pixels.width() / m_density)), int(std::ceil(pixels.height() / m_density))};
}

void PictureBox::setPicture(const QImage &picture)
{
    const bool awaited = std::exchange(m_awaiting, false);
    m_completion.reset();
    m_piece = QImage();
    m_growing = QImage();
    m_ready.clear();
    m_picture = picture;
    resize(shownSize(picture.size()));
    update();
    if (awaited) {
        if (!picture.isNull())
            emit completed();
        emit settled();
    }
}

void PictureBox::beginPicture(QSize size, const QImage &piece, QPoint at, std::unique_ptr<JpegCompletion> completion)
{
    setPicture(QImage());
    m_piece = piece;
    m_pieceAt = at;
    m_completion = std::move(completion);
    if (m_completion) {
        connect(m_completion.get(), &JpegCompletion::bandReady, this, &PictureBox::bandReady);
        connect(m_completion.get(), &JpegCompletion::finished, this, &PictureBox::finished);
        connect(m_completion.get(), &JpegCompletion::failed, this, [this] {
            m_completion.release()->deleteLater();
            m_awaiting = false;
            emit settled();
            emit failed();
        });
    }
    m_awaiting = true;
    resize(shownSize(size));
    update();
}

void PictureBox::clear() { setPicture(QImage()); }

void PictureBox::waitForPicture()
{
    const QPointer<PictureBox> self(this);
    while (self && m_awaiting) {
        QEventLoop loop;
        connect(this, &PictureBox::settled, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void PictureBox::bandReady(const QImage &growing, int first, int end)
{
    const int before = m_ready.value(first, first);
    if (!m_completion || end <= before)
        return;
    m_growing = growing;
    m_ready.insert(first, end);
    update(QRectF(0, before / m_density, width(), (end - before) / m_density + 1).toAlignedRect());
}

void PictureBox::finished(const QImage &picture)
{
    if (!m_completion)
        return;
    m_completion.release()->deleteLater();
    setPicture(picture);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // Drawn in picture pixels, each on one screen pixel.
    const QRect area = QRectF(QPointF(event->rect().topLeft()) * m_density, QSizeF(event->rect().size()) * m_density)
                           .toAlignedRect();
    painter.scale(1 / m_density, 1 / m_density);
    if (!m_picture.isNull()) {
        const QRect part = area.intersected(m_picture.rect());
        painter.drawImage(part.topLeft(), m_picture, part);
        return;
    }
    // The part decoded first, then the final rows of the growing picture: both are the
    // picture's own pixels where they meet. The workers write only outside the final rows.
    if (!m_piece.isNull()) {
        const QRect part = area.intersected(QRect(m_pieceAt, m_piece.size()));
        if (!part.isEmpty())
            painter.drawImage(part.topLeft(), m_piece, part.translated(-m_pieceAt));
    }
    for (auto it = m_ready.cbegin(); it != m_ready.cend(); ++it) {
        const QRect ready = area.intersected(QRect(0, it.key(), m_growing.width(), it.value() - it.key()));
        if (!ready.isEmpty())
            painter.drawImage(ready.topLeft(), m_growing, ready);
    }
}

} // namespace pixdock::viewing
