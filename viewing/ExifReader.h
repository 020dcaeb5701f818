// What Pixdock reads from a JPEG's EXIF block (its APP1 segment): the orientation the camera
// recorded and the small JPEG preview it embedded (IFD1). The block is parsed by libexif.
#pragma once

#include <QByteArray>

namespace pixdock::viewing {

struct ExifFacts
{
    int orientation = 0; // 1 to 8 as recorded, 0 when there is none or it is out of range
    QByteArray preview;  // the bytes the IFD1 preview points at; empty when there is none
};

// The facts of an APP1 segment's payload ("Exif\0\0" followed by a TIFF structure). Damaged or
// hostile blocks give what could be read safely, or nothing.
ExifFacts readExif(const QByteArray &app1);

} // namespace pixdock::viewing
