// A whole picture read on the viewers' workers, for a viewer that lays itself out from the
// picture's header and paints when the pixels arrive. Letting go of it stops waiting at once:
// the decode ends at its next step and what it makes is dropped.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
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
    // The same from the file open on `fd` (duplicated; the caller keeps its own), from its start:
    // a file renamed or deleted since it was opened is still the one read.
    PictureDecode(int fd, QObject *parent = nullptr);
    ~PictureDecode() override;

signals:
    void decoded(const QImage &picture);
    // The loader's error: its number and description.
    void failed(int number, const QString &description);

private:
    // Runs `read` on a worker and posts what it makes, or the error it raises.
    void start(std::function<QImage(const std::atomic_bool *cancelled)> read);

    std::shared_ptr<WorkerPost<PictureDecode>> m_post;
};

} // namespace pixdock::viewing
