// The rest of a large JPEG whose visible part is already on screen, decoded on a worker thread
// from the file the visible part came from: an upright-stored picture straight into the memory
// the screen paints from, band by band from the top, a turned one whole, then turned. Whatever
// goes wrong (the file changed, the data is damaged beyond repair) is reported as a failure and
// the viewer reads the file again itself.
#pragma once

#include "FileStamp.h"

#include <QFuture>
#include <QImage>
#include <QImageIOHandler>
#include <QObject>
#include <QSize>

#include <atomic>
#include <memory>

namespace pixdock::viewing {

template<class Receiver>
class WorkerPost;

class JpegCompletion : public QObject
{
    Q_OBJECT
public:
    // Starts decoding the JPEG open on `fd` (the descriptor is duplicated; the caller keeps
    // its own), stored at `stored` pixels and turned by `turn`. The file must still carry
    // `stamp`, the stamp it had when its visible part was decoded, from start to end.
    JpegCompletion(int fd, const FileStamp &stamp, QSize stored, QImageIOHandler::Transformations turn,
                   QObject *parent = nullptr);
    // Ends the decode at its next row (libjpeg looks between rows of every scan) without waiting
    // for the worker: nothing it makes reaches this object any more.
    ~JpegCompletion() override;

    // Waits until the worker is done; the signals that follow arrive when the event loop
    // next runs, or at once with processPending().
    void waitForFinished();
    void processPending();

signals:
    // The upright picture's memory, in which the rows from `first` up to `end` are final. Only
    // for a picture stored upright; the worker goes on writing the rows below.
    void bandReady(const QImage &growing, int first, int end);
    // The whole picture, upright.
    void finished(const QImage &picture);
    void failed();

private:
    std::shared_ptr<WorkerPost<JpegCompletion>> m_shared;
    QFuture<void> m_work;
};

} // namespace pixdock::viewing
