// Decoding the rest of a JPEG on the viewers' workers.
#include "JpegCompletion.h"

#include "FileStamp.h"
#include "JpegDecoder.h"
#include "PictureOrientation.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <fcntl.h>
#include <unistd.h>

namespace pixdock::viewing {

namespace {

// A picture of fewer rows is decoded by one worker: sharing it would save little.
constexpr int RowsWorthSharing = 512;

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

// What the workers and the object share. The workers post their results to the object; the
// object's destructor waits for them, so a posted result never outlives its receiver.
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
        const auto fail = [this] { QMetaObject::invokeMethod(this, [this] { emit failed(); }, Qt::QueuedConnection); };
        const QByteArray bytes = contentsWithStamp(own, stamp);
        QImage picture(stored, QImage::Format_RGB32);
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
        // Decodes rows `first` to `end` (-1: the last); true when they all came.
        const auto decodeRows = [this, &bytes, bits, bytesPerLine, stored, upright, shown, shared](int first, int end) {
            QByteArray data = bytes;
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            JpegDecoder decoder(&buffer);
            if (!decoder.readHeader() || decoder.header().size != stored)
                return false;
            const auto band = [this, shown, upright, first](int ready) {
                if (upright)
                    QMetaObject::invokeMethod(
                        this, [this, shown, first, ready] { emit bandReady(shown, first, ready); },
                        Qt::QueuedConnection);
            };
            return decoder.decodeRowsInto(bits, bytesPerLine, first, end, band, &shared->cancelled);
        };
        bool decoded = false;
        if (stored.height() >= RowsWorthSharing) {
            const int middle = stored.height() / 2;
            QFuture<bool> lower = QtConcurrent::run(&completionPool(), [&decodeRows, middle] { return decodeRows(middle, -1); });
            const bool upper = decodeRows(0, middle);
            decoded = upper && lower.result();
        } else {
            decoded = decodeRows(0, -1);
        }
        if (!decoded || shared->cancelled.load()) {
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
