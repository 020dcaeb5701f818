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
    // The scan's data ends at the first marker: an FF not followed by 00 or a restart marker.
    for (int next = byteAt(bytes, end + 1); end + 1 < bytes.size(); next = byteAt(bytes, ++end + 1)) {
        if (byteAt(bytes, end) == 0xFF && next != 0 && !(next >= 0xD0 && next <= 0xD7))
            return end;
    }
    return bytes.size();
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
    // The segments up to the end marker; the second scan is the first AC band, a few bytes in
    // a picture of one colour.
    QList<qsizetype> scans;
    qsizetype end = 2;
    while (end + 3 < bytes.size() && byteAt(bytes, end) == 0xFF && byteAt(bytes, end + 1) != 0xD9) {
        if (byteAt(bytes, end + 1) == 0xDA)
            scans.append(end);
        end = segmentEnd(bytes, end);
    }
    if (scans.size() < 2)
        return {};
    const QByteArray scan = bytes.mid(scans.at(1), segmentEnd(bytes, scans.at(1)) - scans.at(1));
    return bytes.left(end) + scan.repeated(repeats) + bytes.mid(end);
}

int manyScanRepeats()
{
    const int set = qEnvironmentVariableIntValue("PIXDOCK_MANY_SCANS");
    return set > 0 ? set : 4000;
}

} // namespace pixdock::test
