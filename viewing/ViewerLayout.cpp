// The viewer's layout arithmetic.
#include "ViewerLayout.h"

#include "Twips.h"

#include <algorithm>
#include <limits>

namespace pixdock::viewing {

namespace {
constexpr qint64 IntMax = std::numeric_limits<int>::max();

int clampToInt(qint64 value) { return int(std::clamp<qint64>(value, 0, IntMax)); }

// Overhang - 1, stretched by the factor and rounded half to even.
int scrollMaximum(qint64 picture, int frame, double factor)
{
    const qint64 overhang = picture - frame - 1;
    return clampToInt(twips::roundHalfEven(double(overhang) * factor));
}

void setSteps(ScrollBarLayout &bar, qint64 picture)
{
    bar.smallStep = std::max(1, clampToInt(picture / 20));
    bar.largeStep = std::max(1, clampToInt(picture / 10));
}
} // namespace

QRect viewerFrame(int windowWidth, int windowHeight)
{
    return {0, 0, std::max(0, windowWidth - 1000), std::max(0, windowHeight - 2000)};
}

ViewerLayout layoutViewer(int windowWidth, int windowHeight, qint64 pictureWidth, qint64 pictureHeight)
{
    ViewerLayout layout;
    const QRect frame = viewerFrame(windowWidth, windowHeight);
    layout.frame = frame;
    layout.hScrollTop = frame.top() + frame.height();

    if (pictureHeight > frame.height()) {
        ScrollBarLayout &bar = layout.vScroll;
        bar.visible = true;
        bar.maximum = scrollMaximum(pictureHeight, frame.height(), 1.1);
        setSteps(bar, pictureHeight);
        bar.geometry = QRect(frame.width(), frame.top(), ScrollBarThickness, frame.height());
    }
    if (pictureWidth > frame.width()) {
        ScrollBarLayout &bar = layout.hScroll;
        bar.visible = true;
        bar.maximum = scrollMaximum(pictureWidth, frame.width(), 1.2);
        setSteps(bar, pictureWidth);
        bar.geometry = QRect(frame.left(), layout.hScrollTop, frame.width(), ScrollBarThickness);
    }
    return layout;
}

int closeButtonTop(int frameHeight) { return frameHeight + 2 * ScrollBarThickness; }

} // namespace pixdock::viewing
