// Decoding the rest of a JPEG on the viewers' workers.
#include "JpegCompletion.h"

#include "FileStamp.h"
#include "JpegDecoder.h"
#include "PictureMemory.h"
#include "PictureOrientation.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <mutex>

#include <fcntl.h>
#include <unistd.h>

namespace pixdock::viewing {

namespace {

// The pool the viewers' decodes run on; no decode may still run while the application's
// objects go.
QThreadPool &completionPool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        qAddPostRoutine([] { completionPool().waitForDone(); });
        return p;
    }();
    return *pool;
}

// The whole file on `fd` while it still carries `stamp`; a null array otherwise.
QByteArray contentsWithStamp(int fd, const FileStamp &stamp)
{
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    if (stampOf(fd) != stamp || !file.seek(0))
        return {};
    QByteArray bytes = file.readAll();
    // Written to while it was read: what was read may be torn.
    return stampOf(fd) == stamp ? bytes : QByteArray();
}

} // namespace

// What the worker and the object share. The worker posts its results to the object while it is
// there; the object's destructor cancels the decode and lets go without waiting for the worker.
struct JpegCompletion::Shared
{
    std::atomic_bool cancelled{false};
    std::mutex mutex;
    JpegCompletion *receiver = nullptr; // cleared, under the mutex, when the object goes

    // Runs `deliver` with the object on its thread, if it is still there then.
    template<class Deliver>
    void post(Deliver &&deliver)
    {
        std::lock_guard lock(mutex);
        if (JpegCompletion *to = receiver)
            QMetaObject::invokeMethod(to, [to, deliver = std::forward<Deliver>(deliver)] { deliver(to); },
                                      Qt::QueuedConnection);
    }
};

JpegCompletion::JpegCompletion(int fd, const FileStamp &stamp, QSize stored, QImageIOHandler::Transformations turn,
                               QObject *parent)
    : QObject(parent)
    , m_shared(std::make_shared<Shared>())
{
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    m_shared->receiver = this;
    m_work = QtConcurrent::run(&completionPool(), [shared = m_shared, own, stamp, stored, turn] {
        const auto fail = [&shared] { shared->post([](JpegCompletion *to) { emit to->failed(); }); };
        const QByteArray bytes = contentsWithStamp(own, stamp);
        QImage picture = allocatePicture(stored);
        if (bytes.isEmpty() || picture.isNull()) {
            fail();
            return;
        }
        // The pixels are written through `bits`, taken while the picture is not yet shared;
        // the copies the screen paints from share that memory and only read it.
        uchar *bits = picture.bits();
        const qsizetype bytesPerLine = picture.bytesPerLine();
        const QImage shown = picture;
        const bool upright = turn == QImageIOHandler::TransformationNone;
        QByteArray data = bytes;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        JpegDecoder decoder(&buffer);
        decoder.setCancelFlag(&shared->cancelled);
        const auto band = [&shared, shown, upright](int ready) {
            if (upright)
                shared->post([shown, ready](JpegCompletion *to) { emit to->bandReady(shown, 0, ready); });
        };
        const bool decoded = decoder.readHeader() && decoder.header().size == stored
                             && decoder.decodeInto(bits, bytesPerLine, band, &shared->cancelled);
        if (!decoded || shared->cancelled.load()) {
            fail();
            return;
        }
        const QImage whole = turnedUpright(picture, turn);
        shared->post([whole](JpegCompletion *to) { emit to->finished(whole); });
    });
}

JpegCompletion::~JpegCompletion()
{
    m_shared->cancelled.store(true);
    std::lock_guard lock(m_shared->mutex);
    m_shared->receiver = nullptr;
}

void JpegCompletion::waitForFinished() { m_work.waitForFinished(); }

void JpegCompletion::processPending() { QCoreApplication::sendPostedEvents(this); }

} // namespace pixdock::viewing
