// Damaged and hostile picture files for the reliability runs: for every format the viewer
// opens, an intact picture and its damaged forms (empty, cut short, a header claiming a huge
// size, a wrong extension, seeded byte flips). Everything is made here, by Qt and by hand;
// the same seed gives the same files.
#pragma once

#include <QList>
#include <QString>

namespace pixdock::reliability {

// A small intact picture in `format` (61 x 47 pixels, a pattern of colours). GIF, which Qt
// does not write, is encoded here.
QByteArray intactPicture(const QString &format);

// The picture's bytes with its header changed to claim `width` x `height` pixels (the pixel
// data stays as it was). Empty when the format has no place for such a size.
QByteArray withClaimedSize(const QString &format, QByteArray bytes, quint32 width, quint32 height);

struct BadPicture
{
    // The file, the format its bytes came from, the damage ("intact", "zero bytes", "cut at 50%",
    // "claims 30000x30000", "wrong extension", "byte flips", and for JPEG "exif ..." (a damaged or
    // hostile EXIF block) and "exif byte flips"), the undamaged picture it was made from.
    QString path, format, damage, intactPath;
};

struct CorpusPlan
{
    QList<double> cuts = {0.01, 0.5, 0.99}; // fractions of the file kept
    int mutantsPerFormat = 2;
    quint32 seed = 20240601;
};

// The plan of `make test`: a few dozen files, every kind of damage at least once per format (the
// long run of `make reliability` takes every cut and 60 mutants, a few hundred files).
inline CorpusPlan quickPlan() { return {}; }

// Writes the corpus into `folder` (which must exist) and lists it, each format's intact picture
// (under intact/) first. Throws std::runtime_error when a file cannot be written.
QList<BadPicture> makeCorpus(const QString &folder, const CorpusPlan &plan);

} // namespace pixdock::reliability
