// Reading a whole picture on a worker.
#include "PictureDecode.h"

#include "PictureLoader.h"
#include "RunTimeError.h"
#include "WorkerPost.h"

#include <QCoreApplication>
#include <QThread>


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
    viewerDecodePool().start([post = m_post, path] {
        try {
            QImage picture = loadPicture(path, &post->cancelled);
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
