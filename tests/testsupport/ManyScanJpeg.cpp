// Making the many-scan JPEG: Qt writes a progressive picture, then one of its AC scans is
// copied again and again in front of the end marker.
#include "ManyScanJpeg.h"

#include "StallGuard.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace pixdock::test {

namespace {
int byteAt(const QByteArray &bytes, qsizetype at) { return at < bytes.size() ? quint8(bytes.at(at)) : -1; }

// Where the segment that starts at `at` (on its FF) ends: past its length for a marker
// segment, past its entropy-coded data for a scan.
qsizetype segmentEnd(const QByteArray &bytes, qsizetype at)
{
    const int marker = byteAt(bytes, at + 1);
    qsizetype end = at + 2 + (byteAt(bytes, at + 2) << 8 | byteAt(bytes, at + 3));
    if (marker != 0xDA)
        return end;
    while (end + 1 < bytes.size()) {
        const int next = byteAt(bytes, end + 1);
        if (byteAt(bytes, end) == 0xFF && next != 0 && !(next >= 0xD0 && next <= 0xD7))
            return end;
        ++end;
    }
    return bytes.size();
}

// The start of each scan (its SOS marker) and of the end marker.
QList<qsizetype> scanStarts(const QByteArray &bytes, qsizetype *endOfImage)
{
    QList<qsizetype> scans;
    qsizetype at = 2;
    while (at + 3 < bytes.size() && byteAt(bytes, at) == 0xFF) {
        if (byteAt(bytes, at + 1) == 0xD9)
            break;
        if (byteAt(bytes, at + 1) == 0xDA)
            scans.append(at);
        at = segmentEnd(bytes, at);
    }
    *endOfImage = at;
    return scans;
}
} // namespace

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
    if (!writer.write(image))
        return {};
    qsizetype end = 0;
    const QList<qsizetype> scans = scanStarts(bytes, &end);
    if (scans.size() < 2)
        return {};
    // The second scan is the first AC band; in a picture of one colour it is a few bytes.
    const QByteArray scan = bytes.mid(scans.at(1), segmentEnd(bytes, scans.at(1)) - scans.at(1));
    QByteArray many;
    many.reserve(bytes.size() + scan.size() * repeats);
    many.append(bytes.left(end));
    for (int i = 0; i < repeats; ++i)
        many.append(scan);
    many.append(bytes.mid(end));
    return many;
}

int manyScanRepeats()
{
    bool ok = false;
    const int set = qEnvironmentVariableIntValue("PIXDOCK_MANY_SCANS", &ok);
    return ok && set > 0 ? set : 4000;
}

int scansIn(const QByteArray &jpeg)
{
    qsizetype end = 0;
    return int(scanStarts(jpeg, &end).size());
}

} // namespace pixdock::test
