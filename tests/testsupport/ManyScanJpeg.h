// A valid progressive JPEG whose one short scan is repeated many times: a small file on which
// a decoder that takes every scan works for a long time (each scan walks the whole picture).
#pragma once

#include <QByteArray>
#include <QSize>

namespace pixdock::test {

// A progressive JPEG of `size` in one colour whose first short scan (an AC band of one
// component, a few bytes) comes `repeats` more times before the end of the picture.
QByteArray manyScanJpeg(int repeats, QSize size = QSize(2048, 2048));

// How many times the tests repeat the scan: PIXDOCK_MANY_SCANS (the reliability runs take the
// 15,000 of a file seen in the wild), else 4,000, which keeps libjpeg busy for seconds.
int manyScanRepeats();

} // namespace pixdock::test
