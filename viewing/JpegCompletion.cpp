// Decoding the rest of a JPEG on the viewers' workers.
#include "JpegCompletion.h"

#include "FileStamp.h"
#include "JpegDecoder.h"
#include "PictureMemory.h"
#include "PictureOrientation.h"
#include "WorkerPost.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QtConcurrent/QtConcurrentRun>

#include <fcntl.h>
#include <unistd.h>

namespace pixdock::viewing {

namespace {

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

JpegCompletion::JpegCompletion(int fd, const FileStamp &stamp, QSize stored, QImageIOHandler::Transformations turn,
                               QObject *parent)
    : QObject(parent)
    , m_shared(std::make_shared<WorkerPost<JpegCompletion>>(this))
{
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    m_work = QtConcurrent::run(&viewerDecodePool(), [shared = m_shared, own, stamp, stored, turn] {
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

JpegCompletion::~JpegCompletion() { m_shared->close(); }

void JpegCompletion::waitForFinished() { m_work.waitForFinished(); }

void JpegCompletion::processPending() { QCoreApplication::sendPostedEvents(this); }

} // namespace pixdock::viewing
