// Making the many-scan JPEG: Qt writes a progressive picture, then one of its AC scans is
// copied again and again in front of the end marker.
#include "ManyScanJpeg.h"

#include "StallGuard.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

namespace pixdock::test {

QByteArray manyScanJpeg(int repeats, QSize size)
{
    const StallGuardPause preparing; // the test's own preparation, not the program's work
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 160));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setQuality(90);
    // The second scan is the first AC band, a few bytes in a picture of one colour. In coded data
    // an FF is followed by 00 or a restart marker (D0 to D7), so FF DA starts each scan's header
    // and the scan's data ends at the next FF that is neither.
    const qsizetype start = writer.write(image) ? bytes.indexOf("\xFF\xDA", bytes.indexOf("\xFF\xDA") + 2) : -1;
    if (start < 0)
        return {};
    qsizetype end = start + 2 + qFromBigEndian<quint16>(bytes.constData() + start + 2);
    while (end + 1 < bytes.size() && (quint8(bytes[end]) != 0xFF || bytes[end + 1] == 0 || (quint8(bytes[end + 1]) & 0xF8) == 0xD0))
        ++end;
    const qsizetype endOfPicture = bytes.lastIndexOf("\xFF\xD9");
    return bytes.left(endOfPicture) + bytes.mid(start, end - start).repeated(repeats) + bytes.mid(endOfPicture);
}

int manyScanRepeats()
{
    const int set = qEnvironmentVariableIntValue("PIXDOCK_MANY_SCANS");
    return set > 0 ? set : 4000;
}

} // namespace pixdock::test
