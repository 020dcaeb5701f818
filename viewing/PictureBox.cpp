// Painting a whole or a partly decoded picture.
#include "PictureBox.h"

#include "JpegCompletion.h"

#include <QPaintEvent>
#include <QPainter>

namespace pixdock::viewing {

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

PictureBox::~PictureBox() = default;

void PictureBox::setPicture(const QImage &picture)
{
    m_completion.reset();
    m_piece = QImage();
    m_growing = QImage();
    m_rowsReady = 0;
    m_picture = picture;
    resize(picture.size());
    update();
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
            emit failed();
        });
    }
    resize(size);
    update();
}

void PictureBox::clear() { setPicture(QImage()); }

void PictureBox::finishPicture()
{
    if (!m_completion)
        return;
    m_completion->waitForFinished();
    m_completion->processPending();
}

void PictureBox::bandReady(const QImage &growing, int rows)
{
    if (!m_completion || rows <= m_rowsReady)
        return;
    m_growing = growing;
    const int before = m_rowsReady;
    m_rowsReady = rows;
    update(QRect(0, before, width(), rows - before));
}

void PictureBox::finished(const QImage &picture)
{
    if (!m_completion)
        return;
    m_completion.release()->deleteLater();
    const QImage whole = picture;
    m_piece = QImage();
    m_growing = QImage();
    m_rowsReady = 0;
    m_picture = whole;
    update();
    emit completed();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    if (!m_picture.isNull()) {
        const QRect part = area.intersected(m_picture.rect());
        painter.drawImage(part.topLeft(), m_picture, part);
        return;
    }
    // The decoded rows of the growing picture: the worker writes only below them.
    const QRect ready = area.intersected(QRect(0, 0, m_growing.width(), m_rowsReady));
    if (!ready.isEmpty())
        painter.drawImage(ready.topLeft(), m_growing, ready);
    if (!m_piece.isNull()) {
        const QRect below(0, m_rowsReady, width(), height() - m_rowsReady);
        const QRect part = area.intersected(QRect(m_pieceAt, m_piece.size())).intersected(below);
        if (!part.isEmpty())
            painter.drawImage(part.topLeft(), m_piece, part.translated(-m_pieceAt));
    }
}

} // namespace pixdock::viewing
