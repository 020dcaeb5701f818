// The viewer's picture box: shows a picture at its natural size, one screen pixel per picture
// pixel (on a screen of higher density the box covers fewer of the layout's points). A large
// JPEG can be shown before it is decoded: first the part on screen, then band after band as the
// rest is decoded on a worker; what is not decoded yet shows the frame's background, never a
// wrong pixel. Sizes and places of pictures are in picture pixels.
#pragma once

#include <QImage>
#include <QMap>
#include <QPoint>
#include <QWidget>

#include <memory>

namespace pixdock::viewing {

class JpegCompletion;

class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
    ~PictureBox() override;

    // Screen pixels to a layout point (the screen's device pixel ratio); set before a picture.
    void setDensity(qreal density);
    qreal density() const { return m_density; }
    // The box's size, in layout points, for a picture of `pixels`.
    QSize shownSize(QSize pixels) const;

    // The whole picture; the box takes its size.
    void setPicture(const QImage &picture);
    // A picture of `size` of which `piece` (at `at`) is decoded; `completion` brings the rest
    // and belongs to the box from now on. With no completion, the whole picture comes later
    // through setPicture.
    void beginPicture(QSize size, const QImage &piece, QPoint at, std::unique_ptr<JpegCompletion> completion);
    // No picture.
    void clear();

    // The whole picture, or a null image while it is not complete.
    QImage picture() const { return m_picture; }
    bool isComplete() const { return !m_picture.isNull(); }
    // Whether any part of a picture is there to be shown.
    bool showsPicture() const { return isComplete() || !m_piece.isNull() || !m_ready.isEmpty(); }
    // Whether a picture begun is still on its way.
    bool isAwaitingPicture() const { return m_awaiting; }
    // Runs the event loop until no picture is on its way any more: the one begun is complete,
    // was given up, or the box is gone. A picture begun meanwhile is waited for too.
    void waitForPicture();

signals:
    // The picture begun is complete.
    void completed();
    // The rest of the picture begun could not be decoded.
    void failed();
    // The picture begun is no longer on its way: complete, failed, or replaced.
    void settled();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void bandReady(const QImage &growing, int first, int end);
    void finished(const QImage &picture);

    qreal m_density = 1;
    QImage m_picture;
    QImage m_piece;
    QPoint m_pieceAt;
    QImage m_growing;
    // The rows of the growing picture that are final: from each key up to its value.
    QMap<int, int> m_ready;
    std::unique_ptr<JpegCompletion> m_completion;
    bool m_awaiting = false;
};

} // namespace pixdock::viewing
