// A whole picture read on the viewers' workers, for a viewer that lays itself out from the
// picture's header and paints when the pixels arrive. Letting go of it stops waiting at once:
// the decode ends at its next step and what it makes is dropped.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

namespace pixdock::viewing {

template<class Receiver>
class WorkerPost;

class PictureDecode : public QObject
{
    Q_OBJECT
public:
    // Starts reading the picture at `path` as the picture loader reads it.
    explicit PictureDecode(const QString &path, QObject *parent = nullptr);
    ~PictureDecode() override;

signals:
    void decoded(const QImage &picture);
    // The loader's error: its number and description.
    void failed(int number, const QString &description);

private:
    std::shared_ptr<WorkerPost<PictureDecode>> m_post;
};

} // namespace pixdock::viewing
