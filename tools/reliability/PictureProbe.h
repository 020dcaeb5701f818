// Putting one picture file through the two roads a picture takes in the program: a viewer
// window's load (with its failure table) and the thumbnail maker, and saying what came of it.
#pragma once

#include "BadPictures.h"
#include "HostFrame.h"

#include <QTemporaryDir>

namespace pixdock::reliability {

// Shown: the picture, exactly as the intact file shows it; PartlyShown: a picture, but not the
// intact one (part of it missing or damaged); TooLarge: "... is too large to open."; Invalid:
// "... is invalid." / "Load next file?"; Other: anything else, another message or nothing shown
// and nothing said.
enum class ViewerOutcome { Shown, PartlyShown, TooLarge, Invalid, Other };

QString outcomeName(ViewerOutcome outcome);

struct PictureResult
{
    ViewerOutcome viewer = ViewerOutcome::Other;
    QString detail;      // the messages shown, for Other
    // The thumbnail maker gave a 100 x 100 thumbnail; a second request (from the thumbnail cache) agreed.
    bool thumbnail = false, thumbnailConsistent = true;
};

// Needs a QApplication on the offscreen platform with message boxes in answering mode.
// Opens a host frame and panel for the viewers; the thumbnail cache is a folder of its own.
class PictureProbe
{
public:
    ~PictureProbe();
    PictureResult probe(const BadPicture &picture);

private:
    test::HostFrame m_frame;
    QTemporaryDir m_cache;
};

} // namespace pixdock::reliability
