// The thumbnail sheet over a large catalogue, driven as the user drives it: the catalogue list
// window open on a catalogue of many rows, "Show as Thumbnails" pressed (the shared sheet
// shown), the first screen waited for, the sheet scrolled to its end.
#pragma once

#include <QStringList>

namespace pixdock::bench {

struct CatalogueSheetFigures
{
    int rows = 0;
    double firstScreenMs = -1; // from the button until the first screen's thumbnails are painted
    double endScreenMs = -1;   // from scrolling to the end until its thumbnails are painted
    double buildMs = -1;       // from the button until every picture is settled (when waited for)
    double peakMB = -1;        // resident memory, the highest seen from the button to the end
    int settled = 0;           // pictures settled when the run ended
};

// A fresh catalogue with one row per picture (file name and folder of each, in order), the
// list window open on it, and the sheet built from it. `untilBuilt` waits for the whole build
// (else the sheet is closed once the end of the sheet has been shown).
CatalogueSheetFigures timeCatalogueSheet(const QStringList &pictures, bool untilBuilt);

// Fills `folder` with `count` hard links to `pictures` in turn, named IMG_000000.jpg on;
// links already there are kept. Returns their paths.
QStringList linkedPictures(const QString &folder, const QStringList &pictures, int count);

} // namespace pixdock::bench
