// Catalogue stepping. Any failure other than the two ends of the list ends a step silently.
#include "CatalogueStepping.h"

#include "CatalogueGrid.h"
#include "CatalogueOpening.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "RunTimeError.h"
#include "ViewerOpening.h"
#include "WindowList.h"
#include "frmImgList.h"
#include "frmSearch.h"

#include <limits>

namespace pixdock::catalogue {

namespace {

// The list window's grid when a list window is open (its shared instance, opened now if only
// private ones are), else the search window's results; none when neither window is open.
CatalogueGrid *sourceGrid()
{
    if (WindowList::instance().hasChildCaptioned(caption::ImageList)) {
        const bool wasLoaded = loadedSharedWindow<frmImgList>() != nullptr;
        frmImgList *list = sharedWindow<frmImgList>();
        if (!wasLoaded)
            list->showWindow();
        return list->grid();
    }
    if (frmSearch *search = loadedSharedWindow<frmSearch>())
        return search->grid();
    throw RunTimeError(err::InvalidCall, QStringLiteral("No catalogue list or search results are open."));
}

void showRow(CatalogueGrid &grid)
{
    // A row of a list still being copied: wait for it (the interface keeps running).
    if (!waitForGridRow(QPointer<CatalogueGrid>(&grid), gListRow))
        throw RunTimeError(err::InvalidGridRow, QStringLiteral("The row is not there."));
    const QString path = rowPicturePath(grid, gListRow);
    grid.setCol(grid.positionOf(column::Location));
    gCurrentPath = path;
    closeAllViewers();
    if (!viewers::openNewViewer(true))
        throw RunTimeError(err::InvalidCall, QStringLiteral("No viewer window could be opened."));
}

void atFirstRow(CatalogueGrid &grid)
{
    MessageBox::show(QStringLiteral("This is the first image in the list."));
    gListRow = 1;
    grid.setRow(gListRow);
}

} // namespace

void stepCatalogueForward()
{
    endAtFirstFailure([] {
        CatalogueGrid *grid = sourceGrid();
        if (gListRow == std::numeric_limits<qint32>::max())
            throw RunTimeError(err::Overflow, QStringLiteral("Overflow"));
        ++gListRow;
        try {
            grid->setRow(gListRow);
        } catch (const RunTimeError &e) {
            if (e.number() != err::InvalidGridRow)
                throw;
            MessageBox::show(QStringLiteral("This is the last image in the list."));
            // Back on the last row, also when the position had gone further past the end
            // (a longer list stepped through before).
            gListRow = grid->rows() - 1;
            grid->setRow(gListRow);
            return;
        }
        showRow(*grid);
    });
}

void stepCatalogueBackward()
{
    endAtFirstFailure([] {
        CatalogueGrid *grid = sourceGrid();
        if (gListRow == std::numeric_limits<qint32>::min())
            throw RunTimeError(err::Overflow, QStringLiteral("Overflow"));
        --gListRow;
        if (gListRow < 1) {
            atFirstRow(*grid);
            return;
        }
        try {
            grid->setRow(gListRow);
        } catch (const RunTimeError &e) {
            if (e.number() != err::InvalidGridRow)
                throw;
            atFirstRow(*grid);
            return;
        }
        showRow(*grid);
    });
}

} // namespace pixdock::catalogue
