// Reading a whole picture on a worker.
#include "PictureDecode.h"

#include "FileErrors.h"
#include "PictureLoader.h"
#include "RunTimeError.h"
#include "WorkerPost.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>


#include <fcntl.h>
#include <unistd.h>

namespace pixdock::viewing {

QThreadPool &viewerDecodePool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        qAddPostRoutine([] { viewerDecodePool().waitForDone(); });
        return p;
    }();
    return *pool;
}

PictureDecode::PictureDecode(const QString &path, QObject *parent)
    : QObject(parent)
    , m_post(std::make_shared<WorkerPost<PictureDecode>>(this))
{
    start([path](const std::atomic_bool *cancelled) { return loadPicture(path, cancelled); });
}

PictureDecode::PictureDecode(int fd, QObject *parent)
    : QObject(parent)
    , m_post(std::make_shared<WorkerPost<PictureDecode>>(this))
{
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    start([own](const std::atomic_bool *cancelled) {
        QFile file;
        if (own < 0 || !file.open(own, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            if (own >= 0)
                ::close(own);
            throw fileError(fileerr::AccessError);
        }
        // The descriptor shares its place in the file with the one measured: back to the start.
        if (!file.seek(0))
            throw fileError(fileerr::AccessError);
        return readPicture(&file, qint64(PictureMemoryLimitMB) * 1024 * 1024, cancelled);
    });
}

void PictureDecode::start(std::function<QImage(const std::atomic_bool *)> read)
{
    viewerDecodePool().start([post = m_post, read = std::move(read)] {
        try {
            QImage picture = read(&post->cancelled);
            if (!post->cancelled.load())
                post->post([picture = std::move(picture)](PictureDecode *to) { emit to->decoded(picture); });
        } catch (const RunTimeError &e) {
            post->post([number = e.number(), text = e.description()](PictureDecode *to) { emit to->failed(number, text); });
        } catch (const std::exception &) {
            post->post([](PictureDecode *to) { emit to->failed(0, QString()); });
        }
    });
}

PictureDecode::~PictureDecode() { m_post->close(); }

} // namespace pixdock::viewing
