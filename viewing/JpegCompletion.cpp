// Decoding the rest of a JPEG on the viewers' worker.
#include "JpegCompletion.h"

#include "FileStamp.h"
#include "JpegDecoder.h"
#include "PictureOrientation.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

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
        p->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
        qAddPostRoutine([] {
            completionPool().waitForDone();
        });
        return p;
    }();
    return *pool;
}

} // namespace

// What the worker and the object share. The worker posts its results to the object; the
// object's destructor waits for the worker, so a posted result never outlives its receiver.
struct JpegCompletion::Shared
{
    std::atomic_bool cancelled{false};
};

JpegCompletion::JpegCompletion(int fd, const FileStamp &stamp, QSize stored, QImageIOHandler::Transformations turn,
                               QObject *parent)
    : QObject(parent)
    , m_shared(std::make_shared<Shared>())
{
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    m_work = QtConcurrent::run(&completionPool(), [this, shared = m_shared, own, stamp, stored, turn] {
        QFile file;
        const bool opened = own >= 0 && file.open(own, QIODevice::ReadOnly | QIODevice::Unbuffered,
                                                  QFileDevice::AutoCloseHandle);
        if (!opened && own >= 0)
            ::close(own);
        auto fail = [this] { QMetaObject::invokeMethod(this, [this] { emit failed(); }, Qt::QueuedConnection); };
        if (!opened || stampOf(own) != stamp || !file.seek(0)) {
            fail();
            return;
        }
        JpegDecoder decoder(&file);
        if (!decoder.readHeader() || decoder.header().size != stored) {
            fail();
            return;
        }
        QImage picture(stored, QImage::Format_RGB32);
        if (picture.isNull()) {
            fail();
            return;
        }
        const bool upright = turn == QImageIOHandler::TransformationNone;
        // The pixels are written through `bits`, taken while the picture is not yet shared;
        // the copies the screen paints from share that memory and only read it.
        uchar *bits = picture.bits();
        const QImage shown = picture;
        const auto band = [this, shown, upright](int rows) {
            if (upright)
                QMetaObject::invokeMethod(
                    this, [this, shown, rows] { emit bandReady(shown, rows); }, Qt::QueuedConnection);
        };
        if (!decoder.decodeInto(bits, picture.bytesPerLine(), band, &shared->cancelled)
            || shared->cancelled.load() || stampOf(own) != stamp) {
            fail();
            return;
        }
        const QImage whole = turnedUpright(picture, turn);
        QMetaObject::invokeMethod(this, [this, whole] { emit finished(whole); }, Qt::QueuedConnection);
    });
}

JpegCompletion::~JpegCompletion()
{
    m_shared->cancelled.store(true);
    m_work.waitForFinished();
}

void JpegCompletion::waitForFinished() { m_work.waitForFinished(); }

void JpegCompletion::processPending() { QCoreApplication::sendPostedEvents(this); }

} // namespace pixdock::viewing
