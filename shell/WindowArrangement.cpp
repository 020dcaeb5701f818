// Cascading, tiling and icon arithmetic for the frame's child windows.
#include "WindowArrangement.h"

#include <algorithm>
#include <cmath>

namespace pixdock::arrangement {

QList<QRect> tile(const QRect &area, int count, Tiling how)
{
    QList<QRect> result;
    if (count <= 0 || area.isEmpty())
        return result;
    const int perGroup = std::max(1, int(std::floor(std::sqrt(double(count)))));
    const int groups = count / perGroup;
    const bool vertical = how == Tiling::Vertical;
    // Groups are columns for vertical tiling and rows for horizontal tiling.
    const int along = vertical ? area.width() : area.height();
    const int across = vertical ? area.height() : area.width();
    int placed = 0;
    for (int g = 0; g < groups; ++g) {
        const int inGroup = g == groups - 1 ? count - placed : perGroup;
        const int g0 = along * g / groups;
        const int g1 = along * (g + 1) / groups;
        for (int k = 0; k < inGroup; ++k) {
            const int k0 = across * k / inGroup;
            const int k1 = across * (k + 1) / inGroup;
            if (vertical)
                result.append(QRect(area.left() + g0, area.top() + k0, g1 - g0, k1 - k0));
            else
                result.append(QRect(area.left() + k0, area.top() + g0, k1 - k0, g1 - g0));
        }
        placed += inGroup;
    }
    return result;
}

QList<QRect> cascade(const QRect &area, const QList<QSize> &sizes, int step)
{
    QList<QRect> result;
    if (area.isEmpty())
        return result;
    int k = 0;
    for (const QSize &size : sizes) {
        if (k * step > area.width() / 2 || k * step > area.height() / 2)
            k = 0;
        const QPoint corner = area.topLeft() + QPoint(k * step, k * step);
        result.append(QRect(corner, QSize(std::min(size.width(), area.width() - k * step),
                                          std::min(size.height(), area.height() - k * step))));
        ++k;
    }
    return result;
}

QList<QPoint> lineUpIcons(const QRect &area, const QList<QSize> &iconSizes)
{
    QList<QPoint> result;
    int x = area.left();
    int rowBottom = area.top() + area.height(); // one past the last pixel row
    int rowHeight = 0;
    for (const QSize &size : iconSizes) {
        // A full row moves the line up; a single icon wider than the area still gets a row.
        if (x > area.left() && x + size.width() > area.left() + area.width()) {
            rowBottom -= rowHeight;
            x = area.left();
            rowHeight = 0;
        }
        result.append(QPoint(x, rowBottom - size.height()));
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
    return result;
}

QRect areaAboveIcons(const QRect &area, const QList<QSize> &iconSizes)
{
    const QList<QPoint> corners = lineUpIcons(area, iconSizes);
    if (corners.isEmpty())
        return area;
    int top = area.top() + area.height();
    for (const QPoint &corner : corners)
        top = std::min(top, corner.y());
    // Icons that fill the whole area leave nothing above them; tiling then covers them.
    if (top <= area.top())
        return area;
    QRect above = area;
    above.setBottom(top - 1);
    return above;
}

} // namespace pixdock::arrangement
