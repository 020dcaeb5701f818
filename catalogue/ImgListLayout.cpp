// Catalogue list window arithmetic, in twips.
#include "ImgListLayout.h"

#include "Twips.h"

namespace pixdock::catalogue {

ImgListPlaces imgListPlaces(int clientWidth, int clientHeight, QSize buttonSize)
{
    ImgListPlaces places;
    const int buttonLeft = clientWidth - (buttonSize.width() + 60);
    const int buttonTop = clientHeight - (buttonSize.height() + 60);
    places.button = QRect(buttonLeft, buttonTop, buttonSize.width(), buttonSize.height());
    const int gridWidth = clientWidth - 120;
    const int gridHeight = buttonTop - 120;
    if (gridWidth >= 0 && gridHeight >= 0)
        places.grid = QRect(60, 60, gridWidth, gridHeight);
    return places;
}

std::array<int, 3> imgListColumnWidths(int gridWidth)
{
    return {int(twips::roundHalfEven(gridWidth / 5.0)), int(twips::roundHalfEven(gridWidth / 4.0)),
            int(twips::roundHalfEven(gridWidth / 2.0))};
}

} // namespace pixdock::catalogue
