// Where the frame's child windows go when they are cascaded, tiled or their icons lined up:
// pure arithmetic on rectangles, so that it can be checked without windows.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace pixdock::arrangement {

enum class Tiling {
    Horizontal, // wide windows stacked from top to bottom
    Vertical    // tall windows side by side from left to right
};

// Rectangles for `count` windows that together fill `area` without overlapping. Vertical
// tiling makes floor(sqrt(count)) windows a column and count / that many columns, the last
// column taking the windows left over; horizontal tiling is the same layout transposed
// (rows instead of columns). Spare pixels go to the later windows, so the edges meet exactly.
QList<QRect> tile(const QRect &area, int count, Tiling how);

// Places for windows of the given sizes cascaded down and to the right from the top left of
// `area`, `step` pixels apart. Each keeps its size, shrunk only to what the area leaves from its
// corner; when a corner lies past the middle of the area the cascade starts again at the top
// left. Nothing is placed in an empty area.
QList<QRect> cascade(const QRect &area, const QList<QSize> &sizes, int step);

// Top-left corners for minimised windows of the given sizes, lined up along the bottom of
// `area` from its left edge; when a row is full the next one starts above it.
QList<QPoint> lineUpIcons(const QRect &area, const QList<QSize> &iconSizes);

// The part of `area` above the rows that lineUpIcons fills with these icons (all of `area`
// when there are none, or when the icons would leave nothing), so that tiled windows leave
// the icons visible.
QRect areaAboveIcons(const QRect &area, const QList<QSize> &iconSizes);

} // namespace pixdock::arrangement
