// Opening a grid row's picture.
#include "CatalogueOpening.h"

#include "CatalogueGrid.h"
#include "CataloguePaths.h"
#include "ModGlobal.h"
#include "RunTimeError.h"
#include "ViewerOpening.h"
#include "WindowList.h"

namespace pixdock::catalogue {

QString rowPicturePath(const CatalogueGrid &grid, int row)
{
    if (row < 1 || row >= grid.rows())
        throw RunTimeError(err::InvalidGridRow, QStringLiteral("Invalid Row value"));
    return fullPathOf(grid.textOf(row, column::Location), grid.textOf(row, column::FileName));
}

void openCurrentRow(CatalogueGrid &grid, bool bringToFront)
{
    const int row = grid.row();
    const QPointer<CatalogueGrid> guard(&grid);
    if (row >= 1 && !waitForGridRow(guard, row))
        throw RunTimeError(err::InvalidGridRow, QStringLiteral("The row is not there."));
    const QString path = rowPicturePath(grid, row);
    gListRow = row;
    // The current cell ends on the folder, where the grid's own reading of the row left it.
    grid.setCol(grid.positionOf(column::Location));
    gCurrentPath = path;
    closeLoneViewer();
    if (!viewers::openNewViewer(bringToFront))
        throw RunTimeError(err::InvalidCall, QStringLiteral("No viewer window could be opened."));
}

} // namespace pixdock::catalogue
