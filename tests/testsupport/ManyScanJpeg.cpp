// Making the many-scan JPEG: Qt writes a progressive picture, then one of its AC scans is
// copied again and again in front of the end marker.
#include "ManyScanJpeg.h"

#include "StallGuard.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

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
    if (!writer.write(image))
        return {};
    const auto byteAt = [&bytes](qsizetype at) { return at < bytes.size() ? quint8(bytes.at(at)) : -1; };
    // Where the segment that starts at `at` (on its FF) ends: past its length for a marker
    // segment; for a scan, past its entropy-coded data, at the first FF not followed by 00 or
    // a restart marker.
    const auto segmentEnd = [&](qsizetype at) {
        qsizetype end = at + 2 + (byteAt(at + 2) << 8 | byteAt(at + 3));
        while (byteAt(at + 1) == 0xDA && end + 1 < bytes.size()
               && (byteAt(end) != 0xFF || byteAt(end + 1) == 0 || (byteAt(end + 1) >= 0xD0 && byteAt(end + 1) <= 0xD7)))
            ++end;
        return byteAt(at + 1) == 0xDA && end + 1 >= bytes.size() ? bytes.size() : end;
    };
    // The segments up to the end marker; the second scan is the first AC band, a few bytes in
    // a picture of one colour.
    QList<qsizetype> scans;
    qsizetype end = 2;
    for (; end + 3 < bytes.size() && byteAt(end) == 0xFF && byteAt(end + 1) != 0xD9; end = segmentEnd(end)) {
        if (byteAt(end + 1) == 0xDA)
            scans.append(end);
    }
    if (scans.size() < 2)
        return {};
    const QByteArray scan = bytes.mid(scans.at(1), segmentEnd(scans.at(1)) - scans.at(1));
    return bytes.left(end) + scan.repeated(repeats) + bytes.mid(end);
}

int manyScanRepeats()
{
    const int set = qEnvironmentVariableIntValue("PIXDOCK_MANY_SCANS");
    return set > 0 ? set : 4000;
}

} // namespace pixdock::test
