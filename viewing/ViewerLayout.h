// The viewer's layout in twips: the clipping frame, the scroll bars around a picture and the
// Close button, computed once from the window's outer size and the picture's size.
#pragma once

#include <QRect>

namespace pixdock::viewing {

inline constexpr int ScrollBarThickness = 255;

struct ScrollBarLayout
{
    bool visible = false;
    int maximum = 0;
    int smallStep = 1;
    int largeStep = 1;
    QRect geometry; // meaningful only when visible
};

struct ViewerLayout
{
    QRect frame;        // framePicHolder within the window
    int hScrollTop = 0; // hScroll sits under the frame even while hidden
    ScrollBarLayout vScroll;
    ScrollBarLayout hScroll;
};

// The frame for a window of that outer size: at 0,0, 1000 narrower and 2000 lower than the
// window (never negative).
QRect viewerFrame(int windowWidth, int windowHeight);

// The layout around a picture of that size (in twips). A bar appears only when the picture
// is strictly larger than the frame in its direction; its range runs 10% (vertical) or 20%
// (horizontal) past the picture's overhang, rounded half to even, and uses the full int range.
ViewerLayout layoutViewer(int windowWidth, int windowHeight, qint64 pictureWidth, qint64 pictureHeight);

// The Close button's top: under the frame, below room for the horizontal bar.
int closeButtonTop(int frameHeight);

} // namespace pixdock::viewing
