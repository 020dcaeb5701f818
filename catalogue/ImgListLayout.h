// The catalogue list window's arithmetic: where its grid and button go, and its column widths.
#pragma once

#include <QRect>
#include <QSize>

#include <array>
#include <optional>

namespace pixdock::catalogue {

struct ImgListPlaces
{
    QRect button;              // twips
    std::optional<QRect> grid; // none when the window is too small to hold it
};

// The button sits in the bottom right corner with a 60-twip margin; the grid fills the window
// above it with 60-twip margins and a 60-twip gap.
ImgListPlaces imgListPlaces(int clientWidth, int clientHeight, QSize buttonSize);

// One fifth, one quarter and one half of the grid's width, each rounded to whole twips.
std::array<int, 3> imgListColumnWidths(int gridWidth);

} // namespace pixdock::catalogue
